#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

/// Builds a replaced text in one pass and keeps track of whether the working
/// text (what is built so far followed by the rest of the original) still
/// equals the original. Text before the insertion point never changes again,
/// so once a differing position has been seen the texts differ for good; until
/// then they differ exactly when their lengths do.
class ReplacementBuilder {
public:
    /// Thrown before the text grows past what a loaded file may hold.
    struct TooLarge {};

    /// keep false only follows the comparison, for a text rewritten in place later.
    explicit ReplacementBuilder(const QString &original, bool keep = true);

    void appendOriginal(qsizetype from, qsizetype to)
    {
        append(QStringView(m_original).sliced(from, to - from));
    }
    /// Throws TooLarge past the load limit.
    void append(QStringView piece)
    {
        if (m_size + piece.size() > m_limit)
            throw TooLarge();
        if (!m_differs) {
            const qsizetype at = m_size;
            if (at + piece.size() > m_original.size() ||
                QStringView(m_original).sliced(at, piece.size()) != piece)
                m_differs = true;
        }
        m_size += piece.size();
        if (piece.isEmpty())
            return;
        m_last = piece.back();
        if (m_keep)
            m_out.append(piece);
    }

    /// Whether out + original[consumed..] differs from the original.
    bool workingDiffers(qsizetype consumed) const { return m_differs || m_size != consumed; }
    /// The character appended last, null before any.
    QChar last() const { return m_last; }
    QString take() { return std::move(m_out); }

private:
    const QString &m_original;
    const bool m_keep;
    const qint64 m_limit;
    QString m_out;
    qsizetype m_size = 0;
    bool m_differs = false;
    QChar m_last;
};
