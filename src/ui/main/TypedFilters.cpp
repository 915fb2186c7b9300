#include "TypedFilters.h"

#include "MainSettings.h"
#include "MainWindow.h"

#include "platform/Dialogs.h"
#include "ui/dialogs/FilterManagerDialog.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

TypedFilters::TypedFilters(MainWindow &window) : QObject(&window), m_w(window)
{
    QComboBox *box = m_w.filterBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // A half-typed pattern must not be completed into another one.
    box->setCompleter(nullptr);
    connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this] { entered(); });
    // The box has the focus and hands its focus events to its line edit directly.
    box->installEventFilter(this);
}

bool TypedFilters::takeShown()
{
    const QComboBox *box = m_w.filterBox;
    if (box->currentText() == box->itemText(box->currentIndex()))
        return true;
    return entered();
}

bool TypedFilters::entered()
{
    QComboBox *box = m_w.filterBox;
    const QString text = box->currentText().trimmed();
    if (text.isEmpty() || text == u"*.") {
        box->setEditText(box->itemText(box->currentIndex()));
        return true;
    }
    if (!FilterManagerDialog::isUsableFilter(text)) {
        box->setEditText(box->itemText(box->currentIndex()));
        m_w.dialogs().message(QStringLiteral("You have entered an invalid file filter."),
                              QStringLiteral("Filter error"), MessageButtons::Ok,
                              MessageIcon::Information);
        return false;
    }
    // A listed filter typed again is simply chosen; a new one joins the list.
    int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        box->addItem(text);
        index = box->count() - 1;
        m_w.storeFilterList();
    }
    if (box->currentIndex() == index)
        m_w.filterChosen();
    else
        box->setCurrentIndex(index);
    box->setEditText(box->itemText(index));
    return true;
}

void TypedFilters::restoreLast()
{
    QComboBox *box = m_w.filterBox;
    const int index =
        box->findText(MainSettings::lastFilter(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(qMax(index, 0));
}

void TypedFilters::storeChosen()
{
    const QComboBox *box = m_w.filterBox;
    if (box->currentIndex() >= 0)
        MainSettings::setLastFilter(box->itemText(box->currentIndex()));
}

bool TypedFilters::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == m_w.filterBox) {
        QComboBox *box = m_w.filterBox;
        if (box->currentIndex() >= 0)
            box->setEditText(box->itemText(box->currentIndex()));
    }
    return QObject::eventFilter(watched, event);
}
