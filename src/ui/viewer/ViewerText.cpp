#include "ViewerText.h"

namespace {

bool isCrLfAt(const QString &text, qsizetype i)
{
    return text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
}

QString lineEndOf(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n')
            return QStringLiteral("\n");
        if (text.at(i) == u'\r')
            return isCrLfAt(text, i) ? QStringLiteral("\r\n") : QStringLiteral("\r");
    }
    return QStringLiteral("\n");
}

}  // namespace

QString ViewerText::toView(const QString &bufferText)
{
    QString view;
    view.reserve(bufferText.size());
    for (qsizetype i = 0; i < bufferText.size(); ++i) {
        const QChar c = bufferText.at(i);
        if (c == u'\r') {
            view += u'\n';
            if (isCrLfAt(bufferText, i))
                ++i;
        } else if (c == QChar::ParagraphSeparator) {
            view += u'\n';
        } else {
            view += c;
        }
    }
    return view;
}

QString ViewerText::fromDocument(const QString &rawText)
{
    QString text = rawText;
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

int ViewerText::toViewPositionFrom(const QString &bufferText, int fromBuffer, int fromView,
                                   int bufferPosition)
{
    // Every buffer character before the position shows as one, except the CR of a CR LF.
    const int size = int(bufferText.size());
    const int lo = qBound(0, qMin(fromBuffer, bufferPosition), size);
    const int hi = qBound(0, qMax(fromBuffer, bufferPosition), size);
    int shown = 0;
    for (int i = lo; i < hi; ++i) {
        if (!isCrLfAt(bufferText, i))
            ++shown;
    }
    const int beyond = qMax(0, bufferPosition - size);
    return (bufferPosition >= fromBuffer ? fromView + shown : fromView - shown) + beyond;
}

int ViewerText::toBufferPosition(const QString &bufferText, int viewPosition)
{
    qsizetype i = 0;
    int view = 0;
    while (view < viewPosition && i < bufferText.size()) {
        i += isCrLfAt(bufferText, i) ? 2 : 1;
        ++view;
    }
    return int(i);
}

QString ViewerText::mergeEdit(const QString &bufferText, const QString &oldView,
                              const QString &newView)
{
    const qsizetype shorter = qMin(oldView.size(), newView.size());
    qsizetype prefix = 0;
    while (prefix < shorter && oldView.at(prefix) == newView.at(prefix)) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           oldView.at(oldView.size() - 1 - suffix) == newView.at(newView.size() - 1 - suffix))
        ++suffix;

    const int from = toBufferPosition(bufferText, int(prefix));
    const int to = toBufferPosition(bufferText, int(oldView.size() - suffix));
    QString inserted = newView.mid(prefix, newView.size() - suffix - prefix);
    const QString lineEnd = lineEndOf(bufferText);
    if (lineEnd != QLatin1String("\n"))
        inserted.replace(u'\n', lineEnd);
    QString merged = bufferText;
    merged.replace(from, to - from, inserted);
    return merged;
}
