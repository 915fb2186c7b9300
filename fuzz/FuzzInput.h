#pragma once

// What every fuzz target shares: reading choices off the input and failing loudly.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

/// Reads choices from the fuzzer's bytes; past the end every read gives 0.
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_p(data), m_end(data + size) {}

    uint8_t byte() { return m_p < m_end ? *m_p++ : 0; }
    bool flag() { return byte() & 1; }
    size_t left() const { return size_t(m_end - m_p); }
    /// The next n bytes (fewer at the end).
    QByteArray bytes(size_t n)
    {
        n = n < left() ? n : left();
        QByteArray out(reinterpret_cast<const char *>(m_p), qsizetype(n));
        m_p += n;
        return out;
    }
    QByteArray rest() { return bytes(left()); }

private:
    const uint8_t *m_p;
    const uint8_t *m_end;
};

/// Ends the run with a report that libFuzzer saves as a crash.
[[noreturn]] inline void fuzzFail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

/// Shows a text's UTF-16 code units for a failure report.
inline QString codeUnits(const QString &text)
{
    QString out;
    for (QChar c : text) out += QString::number(c.unicode(), 16) + QLatin1Char(' ');
    return out;
}
