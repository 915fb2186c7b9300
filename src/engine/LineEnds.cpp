#include "LineEnds.h"

bool LineEnds::hasLineBreak(QStringView text)
{
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

qsizetype LineEnds::lengthAt(QStringView text, qsizetype pos)
{
    if (pos < 0 || pos >= text.size())
        return 0;
    if (text[pos] == u'\n')
        return 1;
    if (text[pos] != u'\r')
        return 0;
    return pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
}

QString LineEnds::firstIn(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const qsizetype n = lengthAt(text, i))
            return text.sliced(i, n).toString();
    }
    return QString();
}

QString LineEnds::mostCommonIn(QStringView text)
{
    qsizetype crlf = 0, lf = 0, cr = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = lengthAt(text, i);
        if (n == 2) {
            ++crlf;
            ++i;
        } else if (n == 1) {
            ++(text[i] == u'\n' ? lf : cr);
        }
    }
    if (crlf + lf + cr == 0) {
#ifdef Q_OS_WIN
        return QStringLiteral("\r\n");
#else
        return QStringLiteral("\n");
#endif
    }
    if (crlf >= lf && crlf >= cr)
        return QStringLiteral("\r\n");
    return lf >= cr ? QStringLiteral("\n") : QStringLiteral("\r");
}

QString LineEnds::withLineEnd(QStringView text, QStringView lineEnd)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const qsizetype n = lengthAt(text, i)) {
            out += lineEnd;
            i += n - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}
