#include "FilterManagerDialog.h"

#include "engine/FileNameFilter.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString NewFilter = QStringLiteral("*.");

}  // namespace

FilterManagerDialog::FilterManagerDialog(QComboBox *filters, Dialogs &dialogs,
                                         std::function<void()> refreshCombos,
                                         std::function<void(const QString &)> hint, QWidget *parent)
    : QDialog(parent),
      m_filters(filters),
      m_dialogs(dialogs),
      m_refreshCombos(std::move(refreshCombos)),
      m_hint(std::move(hint))
{
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral(" File Filters"));
    setModal(true);
    setMouseTracking(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = new QLabel(QStringLiteral("Filters:"));
    Label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    Label1 = new QLabel(QStringLiteral("Filter to add:"));
    Label1->setObjectName(QStringLiteral("Label1"));
    txtNewFilter = new QLineEdit;
    txtNewFilter->setObjectName(QStringLiteral("txtNewFilter"));
    Label2->setBuddy(List1);
    Label1->setBuddy(txtNewFilter);

    Picture2 = new QWidget;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Filterbar = new QToolBar(Picture2);
    Filterbar->setObjectName(QStringLiteral("Filterbar"));
    Filterbar->setOrientation(Qt::Vertical);
    Filterbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const struct {
        const char *key, *caption, *hint;
    } tools[] = {
        {"addFilter", "Add Filter", " Add this filter to the list of available filters."},
        {"removeFilter", "Remove Filter",
         " Remove the currently selected filter from the list of available filters."},
        {"moveUp", "Move Up",
         " Move the currently selected filter up in the list of available filters."},
        {"moveDown", "Move Down",
         " Move the currently selected filter down in the list of available filters."},
        {"exit", "Hide", " Return to the main form."},
    };
    for (const auto &tool : tools) {
        QAction *action = Filterbar->addAction(QString::fromLatin1(tool.caption));
        const QString key = QString::fromLatin1(tool.key);
        action->setObjectName(key);
        const QString text = QString::fromLatin1(tool.hint);
        connect(action, &QAction::triggered, this, [this, key] { Filterbar_ButtonClick(key); });
        connect(action, &QAction::hovered, this, [this, text] { m_hint(text); });
    }
    auto *barColumn = new QVBoxLayout(Picture2);
    barColumn->setContentsMargins(0, 0, 0, 0);
    barColumn->addWidget(Filterbar);
    barColumn->addStretch(1);

    auto *grid = new QGridLayout(Frame1);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(List1, 1, 0);
    grid->addWidget(Picture2, 1, 1);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(txtNewFilter, 3, 0);
    auto *column = new QVBoxLayout(this);
    column->addWidget(Frame1);

    for (QWidget *area :
         std::initializer_list<QWidget *>{this, Frame1, List1->viewport(), Picture2}) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { txtNewFilter->setText(item->text()); });
    connect(txtNewFilter, &QLineEdit::returnPressed, this, &FilterManagerDialog::Add_Filter);

    for (int i = 0; i < m_filters->count(); ++i) List1->addItem(m_filters->itemText(i));
    resetNewFilter();
}

bool FilterManagerDialog::isUsableFilter(const QString &text)
{
    return FileNameFilter::isValid(text);
}

void FilterManagerDialog::open()
{
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void FilterManagerDialog::Form_Activate()
{
    resetNewFilter();
}

void FilterManagerDialog::resetNewFilter()
{
    txtNewFilter->setText(NewFilter);
    txtNewFilter->setFocus();
    txtNewFilter->setCursorPosition(2);
}

void FilterManagerDialog::showMessage(const QString &text)
{
    // The message box takes the activation; the dialog must not hide for it.
    m_asking = true;
    m_dialogs.message(text, QStringLiteral("Filter error"), MessageButtons::Ok,
                      MessageIcon::Information);
    m_asking = false;
}

void FilterManagerDialog::Add_Filter()
{
    txtNewFilter->setFocus();
    const QString text = txtNewFilter->text();
    if (text == NewFilter || text.isEmpty())
        return;
    if (!isUsableFilter(text)) {
        resetNewFilter();
        showMessage(QStringLiteral("You have entered an invalid file filter."));
        return;
    }
    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i)->text() == text) {
            resetNewFilter();
            showMessage(QStringLiteral("That filter is already in the list."));
            return;
        }
    }
    List1->addItem(text);
    m_filters->addItem(text);
    m_refreshCombos();
    resetNewFilter();
}

void FilterManagerDialog::Filterbar_ButtonClick(const QString &key)
{
    if (key == u"addFilter") {
        Add_Filter();
    } else if (key == u"removeFilter") {
        txtNewFilter->setFocus();
        const int row = List1->currentRow();
        if (row < 0 || !List1->item(row)->isSelected())
            return;
        m_filters->removeItem(row);
        delete List1->takeItem(row);
        m_refreshCombos();
        resetNewFilter();
    } else if (key == u"moveUp") {
        move(-1);
    } else if (key == u"moveDown") {
        move(1);
    } else if (key == u"exit") {
        hide();
    }
}

void FilterManagerDialog::move(int step)
{
    const int row = List1->currentRow();
    const int target = row + step;
    if (row < 0 || !List1->item(row)->isSelected() || target < 0 || target >= List1->count())
        return;
    const QString moved = List1->item(row)->text();
    List1->item(row)->setText(List1->item(target)->text());
    List1->item(target)->setText(moved);
    List1->setCurrentRow(target);
    // The order is stored at shut-down; the filter box shows it at once.
    m_filters->clear();
    for (int i = 0; i < List1->count(); ++i) m_filters->addItem(List1->item(i)->text());
    m_filters->setCurrentIndex(0);
}

bool FilterManagerDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    else if (event->type() == QEvent::WindowDeactivate && !m_asking && isVisible())
        hide();
    return QDialog::event(event);
}

bool FilterManagerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        m_hint(QString());
    return QDialog::eventFilter(watched, event);
}
