#pragma once

#include <QString>

class Dialogs;
enum class MessageIcon;

/// "ErrorLog.log" in the application folder: append-only, six lines per entry.
namespace ErrorLog {

/// Where the log lies, for messages that point the user to it.
QString logPath();

/// Appends one entry. When the log cannot be written, shows description in a
/// message box titled "Error" through fallback (if given). Never throws.
void logError(const QString &source, const QString &description, Dialogs *fallback);

/// Shows a trapped failure the way every handler does (message box with the
/// error icon and only OK) and logs it.
void reportFailure(Dialogs &dialogs, const QString &message, const QString &title,
                   const QString &source, const QString &description);

/// The same with another icon (the viewer's warnings).
void reportFailure(Dialogs &dialogs, const QString &message, const QString &title,
                   const QString &source, const QString &description, MessageIcon icon);

/// sentence, a single CR, "Exact error was: " and the description.
QString exactErrorMessage(const QString &sentence, const QString &description);

}  // namespace ErrorLog
