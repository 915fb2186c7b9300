#include "WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QMessageBox::StandardButton toButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Messages and prompts separate their lines with a lone CR, which a label
// would not break at.
QString withLineBreaks(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
}  // namespace

MessageAnswer WidgetDialogs::message(const QString &text, const QString &title,
                                     MessageButtons buttons, MessageIcon icon,
                                     MessageAnswer defaultAnswer)
{
    QMessageBox box(toIcon(icon), title, withLineBreaks(text), QMessageBox::NoButton,
                    m_parent ? m_parent : QApplication::activeWindow());
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (box.button(toButton(defaultAnswer)))
        box.setDefaultButton(toButton(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

std::optional<QString> WidgetDialogs::inputText(const QString &prompt, const QString &title,
                                                const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent ? m_parent : QApplication::activeWindow(), title,
                              withLineBreaks(prompt), QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
