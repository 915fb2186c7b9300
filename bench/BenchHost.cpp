#include "BenchHost.h"

#include <cstdio>

BenchHost::BenchHost()
{
    ctx.request = this;
    ctx.main = this;
    ctx.viewer = &viewer;
    ctx.dialogs = this;
    ctx.backup = this;
}

QString BenchHost::selectionCount() const
{
    return QString::number(selectAll ? files.size() : 0) + QStringLiteral(" of ") +
           QString::number(files.size());
}

QString BenchHost::toolCaption(const QString &key) const
{
    return key == QLatin1String("find") ? m_findCaption : m_replaceCaption;
}

void BenchHost::setToolCaption(const QString &key, const QString &caption)
{
    (key == QLatin1String("find") ? m_findCaption : m_replaceCaption) = caption;
}

void BenchHost::setFindAndReplaceText(const QString &f, const QString &r)
{
    find = f;
    replace = r;
}

MessageAnswer BenchHost::message(const QString &text, const QString &title,
                                 MessageButtons buttons, MessageIcon icon, MessageAnswer)
{
    // Questions are answered Yes; only errors are worth printing.
    if (icon == MessageIcon::Error) {
        QString t = text;
        t.replace(QLatin1Char('\r'), QLatin1Char(' '));
        std::fprintf(stderr, "%s: %s\n", qPrintable(title.trimmed()), qPrintable(t));
    }
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
}
