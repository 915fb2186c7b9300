#pragma once

#include <QString>

#include <optional>

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

/// The standard message box and one-line input box, behind an interface so that
/// every run can be driven headless with scripted answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// Shows a message box and returns the button the user chose.
    virtual MessageAnswer message(const QString &text, const QString &title,
                                  MessageButtons buttons = MessageButtons::Ok,
                                  MessageIcon icon = MessageIcon::Information,
                                  MessageAnswer defaultAnswer = MessageAnswer::Ok) = 0;

    /// Asks for one line of text; nullopt when the user cancels.
    virtual std::optional<QString> inputText(const QString &prompt, const QString &title,
                                             const QString &defaultText) = 0;
};
