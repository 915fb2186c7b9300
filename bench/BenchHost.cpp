#include "BenchHost.h"

#include <QDir>

BenchHost::BenchHost()
{
    ctx.requestSource = this;
    ctx.main = this;
    ctx.events = this;
    ctx.viewer = &viewer;
    ctx.dialogs = this;
    ctx.backup = this;
}

QString BenchHost::selectionCount() const
{
    return QString::number(selectAll ? files.size() : 0) + QStringLiteral(" of ") +
           QString::number(files.size());
}

void BenchHost::deletingFile(const QString &path)
{
    if (onStatus)
        onStatus(QStringLiteral(" Deleting files: ") + path);
}

void BenchHost::folderDeleted(const QString &path)
{
    if (onStatus)
        onStatus(QStringLiteral(" Deleting folders: ") + path + QDir::separator());
}

void BenchHost::termsShown(const QString &f, const QString &r)
{
    find = f;
    replace = r;
}

MessageAnswer BenchHost::message(const QString &text, const QString &title, MessageButtons buttons,
                                 MessageIcon icon, MessageAnswer)
{
    if (buttons == MessageButtons::OkCancel)
        return MessageAnswer::Ok;
    if (buttons != MessageButtons::Ok)
        return MessageAnswer::Yes;
    // A run that found nothing says so in a message; that is a result, not a
    // failure. Every other message a run shows alone is an error or a refusal.
    if (icon == MessageIcon::Information && title.trimmed() == QLatin1String("Search complete"))
        return MessageAnswer::Ok;
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    // The tool's own prefix already says it is an error.
    const QString heading = title.trimmed();
    problems << (heading == QLatin1String("Error") ? line : heading + QStringLiteral(": ") + line);
    return MessageAnswer::Ok;
}
