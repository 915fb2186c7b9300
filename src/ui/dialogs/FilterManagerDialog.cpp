#include "FilterManagerDialog.h"

#include "engine/FileNameFilter.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
    setObjectName(QStringLiteral("filterManagerDialog"));
    setWindowTitle(QStringLiteral(" File Filters"));
    setModal(true);
    setMouseTracking(true);

    filterFrame = new QGroupBox(this);
    filterFrame->setObjectName(QStringLiteral("filterFrame"));
    filtersLabel = new QLabel(QStringLiteral("Filters:"));
    filtersLabel->setObjectName(QStringLiteral("filtersLabel"));
    // One list with the filter box: a filter added there is here too, and the
    // rows a tool acts on are the box's own.
    filterList = new QListView;
    filterList->setObjectName(QStringLiteral("filterList"));
    filterList->setModel(m_filters->model());
    filterList->setModelColumn(m_filters->modelColumn());
    filterList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    filterList->setSelectionMode(QAbstractItemView::SingleSelection);
    newFilterLabel = new QLabel(QStringLiteral("Filter to add:"));
    newFilterLabel->setObjectName(QStringLiteral("newFilterLabel"));
    newFilterEdit = new QLineEdit;
    newFilterEdit->setObjectName(QStringLiteral("newFilterEdit"));
    filtersLabel->setBuddy(filterList);
    newFilterLabel->setBuddy(newFilterEdit);

    filterBarHolder = new QWidget;
    filterBarHolder->setObjectName(QStringLiteral("filterBarHolder"));
    filterBar = new QToolBar(filterBarHolder);
    filterBar->setObjectName(QStringLiteral("filterBar"));
    filterBar->setOrientation(Qt::Vertical);
    filterBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
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
        QAction *action = filterBar->addAction(QString::fromLatin1(tool.caption));
        const QString key = QString::fromLatin1(tool.key);
        action->setObjectName(key);
        const QString text = QString::fromLatin1(tool.hint);
        connect(action, &QAction::triggered, this, [this, key] { runFilterTool(key); });
        connect(action, &QAction::hovered, this, [this, text] { m_hint(text); });
    }
    auto *barColumn = new QVBoxLayout(filterBarHolder);
    barColumn->setContentsMargins(0, 0, 0, 0);
    barColumn->addWidget(filterBar);
    barColumn->addStretch(1);

    auto *grid = new QGridLayout(filterFrame);
    grid->addWidget(filtersLabel, 0, 0);
    grid->addWidget(filterList, 1, 0);
    grid->addWidget(filterBarHolder, 1, 1);
    grid->addWidget(newFilterLabel, 2, 0);
    grid->addWidget(newFilterEdit, 3, 0);
    auto *column = new QVBoxLayout(this);
    column->addWidget(filterFrame);

    for (QWidget *area : std::initializer_list<QWidget *>{this, filterFrame, filterList->viewport(),
                                                          filterBarHolder}) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
    filterList->installEventFilter(this);
    connect(filterList, &QListView::clicked, this,
            [this](const QModelIndex &index) { newFilterEdit->setText(index.data().toString()); });
    connect(newFilterEdit, &QLineEdit::returnPressed, this, &FilterManagerDialog::addFilter);
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
    prepareOnActivation();
}

void FilterManagerDialog::prepareOnActivation()
{
    resetNewFilter();
}

void FilterManagerDialog::resetNewFilter()
{
    newFilterEdit->setText(NewFilter);
    newFilterEdit->setFocus();
    newFilterEdit->setCursorPosition(2);
}

void FilterManagerDialog::showMessage(const QString &text)
{
    // The message box takes the activation; the dialog must not hide for it.
    m_asking = true;
    m_dialogs.message(text, QStringLiteral("Filter error"), MessageButtons::Ok,
                      MessageIcon::Information);
    m_asking = false;
}

void FilterManagerDialog::addFilter()
{
    newFilterEdit->setFocus();
    const QString text = newFilterEdit->text();
    if (text == NewFilter || text.isEmpty())
        return;
    if (!isUsableFilter(text)) {
        resetNewFilter();
        showMessage(QStringLiteral("You have entered an invalid file filter."));
        return;
    }
    if (m_filters->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
        resetNewFilter();
        showMessage(QStringLiteral("That filter is already in the list."));
        return;
    }
    m_filters->addItem(text);
    m_refreshCombos();
    resetNewFilter();
}

void FilterManagerDialog::runFilterTool(const QString &key)
{
    if (key == u"addFilter") {
        addFilter();
    } else if (key == u"removeFilter") {
        newFilterEdit->setFocus();
        const int row = selectedRow();
        if (row < 0)
            return;
        m_filters->removeItem(row);
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

int FilterManagerDialog::selectedRow() const
{
    const QModelIndex current = filterList->currentIndex();
    return current.isValid() && filterList->selectionModel()->isSelected(current) ? current.row()
                                                                                  : -1;
}

void FilterManagerDialog::move(int step)
{
    const int row = selectedRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_filters->count())
        return;
    QStringList order;
    for (int i = 0; i < m_filters->count(); ++i) order << m_filters->itemText(i);
    order.swapItemsAt(row, target);
    // The order is stored at shut-down; the filter box shows it at once, its
    // first filter chosen.
    m_filters->clear();
    m_filters->addItems(order);
    m_filters->setCurrentIndex(0);
    filterList->setCurrentIndex(filterList->model()->index(target, filterList->modelColumn()));
}

bool FilterManagerDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        prepareOnActivation();
    else if (event->type() == QEvent::WindowDeactivate && !m_asking && isVisible())
        hide();
    return QDialog::event(event);
}

bool FilterManagerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        m_hint(QString());
    // Enter on a clicked filter adds the box's text, as Enter in the box does.
    if (event->type() == QEvent::KeyPress && watched == filterList) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addFilter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
