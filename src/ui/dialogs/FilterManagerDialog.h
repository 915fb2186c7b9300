#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QToolBar;
class Dialogs;

/// The filter list manager: adds, removes and reorders the main
/// window's file filters. Its list shows the filter box's own items, so a filter
/// added in the box is there too; adds and removes are stored at once through
/// refreshCombos, moves at shut-down. Loaded once; it hides itself when it loses
/// the activation.
class FilterManagerDialog : public QDialog {
    Q_OBJECT

public:
    /// filters is the main window's filterBox; hint writes the main window's panel 2.
    FilterManagerDialog(QComboBox *filters, Dialogs &dialogs, std::function<void()> refreshCombos,
                        std::function<void(const QString &)> hint, QWidget *parent = nullptr);

    /// Shows the dialog modally without blocking the caller, and activates it.
    void open() override;

    void addFilter();
    /// False for a text no file name can match (a path separator, a control character).
    static bool isUsableFilter(const QString &text);
    void runFilterTool(const QString &key);
    void prepareOnActivation();

    QGroupBox *filterFrame = nullptr;
    QLabel *filtersLabel = nullptr;
    QListView *filterList = nullptr;
    QLabel *newFilterLabel = nullptr;
    QLineEdit *newFilterEdit = nullptr;
    QWidget *filterBarHolder = nullptr;
    QToolBar *filterBar = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void resetNewFilter();
    /// The selected row of the list; -1 when none is selected.
    int selectedRow() const;
    void move(int step);
    void showMessage(const QString &text);

    QComboBox *m_filters;
    Dialogs &m_dialogs;
    std::function<void()> m_refreshCombos;
    std::function<void(const QString &)> m_hint;
    bool m_asking = false;
};
