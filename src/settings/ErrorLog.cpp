#include "ErrorLog.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

const QString kLogName = QStringLiteral("ErrorLog.log");

QByteArray entryBytes(const QString &source, const QString &description)
{
    const QDateTime now = Clock::now();
    const QLocale locale;
    const QString crlf = QStringLiteral("\r\n");
    QString entry;
    entry += QStringLiteral(" ' ...........................") + crlf;
    entry += QStringLiteral(" '") + crlf;
    entry += QStringLiteral(" ' Description = ") + description.trimmed() + crlf;
    entry += QStringLiteral(" '      Source = ") + source.trimmed() + crlf;
    entry += QStringLiteral(" '        Date = ") +
             locale.toString(now.date(), QLocale::ShortFormat).trimmed() + crlf;
    entry += QStringLiteral(" '        Time = ") +
             locale.toString(now.time(), QLocale::LongFormat) + crlf;
    return entry.toUtf8();
}

bool appendEntry(const QString &source, const QString &description)
{
    const QString path = ErrorLog::logPath();
    QFile file(path);
    // Never open anything but a plain file: a FIFO would block the program.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    // Opened and closed per entry so that no handle is held between errors.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = entryBytes(source, description);
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace

QString ErrorLog::logPath()
{
    return Paths::withTrailingSeparator(Paths::applicationFolder()) + kLogName;
}

void ErrorLog::logError(const QString &source, const QString &description, Dialogs *fallback)
{
    bool logged = false;
    try {
        logged = appendEntry(source, description);
    } catch (...) {
        logged = false;
    }
    if (logged || !fallback)
        return;
    try {
        fallback->message(description, QStringLiteral("Error"), MessageButtons::Ok,
                          MessageIcon::Error);
    } catch (...) {
    }
}

void ErrorLog::reportFailure(Dialogs &dialogs, const QString &message, const QString &title,
                             const QString &source, const QString &description)
{
    reportFailure(dialogs, message, title, source, description, MessageIcon::Error);
}

void ErrorLog::reportFailure(Dialogs &dialogs, const QString &message, const QString &title,
                             const QString &source, const QString &description, MessageIcon icon)
{
    dialogs.message(message, title, MessageButtons::Ok, icon);
    logError(source, description, &dialogs);
}

QString ErrorLog::exactErrorMessage(const QString &sentence, const QString &description)
{
    return sentence + QLatin1Char('\r') + QStringLiteral("Exact error was: ") + description;
}
