#pragma once

#include "platform/Dialogs.h"

class QWidget;

/// Dialogs shown with the platform's standard message and input boxes.
class WidgetDialogs : public Dialogs {
public:
    explicit WidgetDialogs(QWidget *parent = nullptr) : m_parent(parent) {}

    MessageAnswer message(const QString &text, const QString &title, MessageButtons buttons,
                          MessageIcon icon, MessageAnswer defaultAnswer) override;
    std::optional<QString> inputText(const QString &prompt, const QString &title,
                                     const QString &defaultText) override;

private:
    /// The given parent, else the active window.
    QWidget *dialogParent() const;

    QWidget *m_parent;
};
