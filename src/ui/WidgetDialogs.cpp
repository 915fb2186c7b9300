#include "WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <array>
#include <utility>

namespace {

template <typename From, typename To, std::size_t N>
using Pairs = std::array<std::pair<From, To>, N>;

/// What key is paired with in pairs; fallback when it is paired with nothing.
template <typename From, typename To, std::size_t N>
To pairedWith(const Pairs<From, To, N> &pairs, From key, To fallback)
{
    for (const auto &[from, to] : pairs) {
        if (from == key)
            return to;
    }
    return fallback;
}

const Pairs<MessageAnswer, QMessageBox::StandardButton, 4> kAnswerButtons{{
    {MessageAnswer::Ok, QMessageBox::Ok},
    {MessageAnswer::Cancel, QMessageBox::Cancel},
    {MessageAnswer::Yes, QMessageBox::Yes},
    {MessageAnswer::No, QMessageBox::No},
}};

const Pairs<QMessageBox::StandardButton, MessageAnswer, 3> kClickedAnswers{{
    {QMessageBox::Yes, MessageAnswer::Yes},
    {QMessageBox::No, MessageAnswer::No},
    {QMessageBox::Cancel, MessageAnswer::Cancel},
}};

const Pairs<MessageIcon, QMessageBox::Icon, 5> kIcons{{
    {MessageIcon::None, QMessageBox::NoIcon},
    {MessageIcon::Information, QMessageBox::Information},
    {MessageIcon::Warning, QMessageBox::Warning},
    {MessageIcon::Error, QMessageBox::Critical},
    {MessageIcon::Question, QMessageBox::Question},
}};

const Pairs<MessageButtons, QMessageBox::StandardButtons, 4> kButtonSets{{
    {MessageButtons::Ok, QMessageBox::Ok},
    {MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel},
    {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No},
    {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
}};

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

QWidget *WidgetDialogs::dialogParent() const
{
    return m_parent ? m_parent : QApplication::activeWindow();
}

MessageAnswer WidgetDialogs::message(const QString &text, const QString &title,
                                     MessageButtons buttons, MessageIcon icon,
                                     MessageAnswer defaultAnswer)
{
    QMessageBox box(pairedWith(kIcons, icon, QMessageBox::NoIcon), title, withLineBreaks(text),
                    QMessageBox::NoButton, dialogParent());
    box.setStandardButtons(pairedWith(kButtonSets, buttons, QMessageBox::StandardButtons()));
    const QMessageBox::StandardButton preferred =
        pairedWith(kAnswerButtons, defaultAnswer, QMessageBox::Ok);
    if (box.button(preferred))
        box.setDefaultButton(preferred);
    // Ok, or the box closed otherwise: a Yes/No question counts that as No.
    const MessageAnswer closed =
        buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    return pairedWith(kClickedAnswers, QMessageBox::StandardButton(box.exec()), closed);
}

std::optional<QString> WidgetDialogs::inputText(const QString &prompt, const QString &title,
                                                const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), title, withLineBreaks(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
