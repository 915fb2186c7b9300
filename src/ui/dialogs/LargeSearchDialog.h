#pragma once

#include "ui/SearchForm.h"

#include <QDialog>
#include <QString>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QTabBar;
class QToolBar;
class QWidget;
struct RunContext;

/// The large search dialog: roomy multi-line boxes for a search or
/// replacement text; Ok pastes them into the main window's and the viewer's boxes,
/// which it knows only as search boxes.
/// Shown without blocking; it hides itself when another window becomes active.
class LargeSearchDialog : public QDialog {
    Q_OBJECT

public:
    /// main and viewer may be null; the dialog opens over main's window.
    LargeSearchDialog(RunContext &ctx, SearchForm *main, SearchBoxes *viewer);

    /// Who opened it: "Scrivlane" (main window) or "Template" (viewer) fill the
    /// boxes at activation; anything else leaves them as they are.
    void setTag(const QString &tag) { m_tag = tag; }
    QString tag() const { return m_tag; }

    /// The search type whose boxes it shows: fuzzy has a first and a second part.
    void setFuzzy(bool fuzzy);
    /// The type and the texts of its two boxes, before the dialog is opened.
    void fill(bool fuzzy, const QString &first, const QString &second);

    /// Shows the dialog without blocking and activates it.
    void open() override;

    void prepareOnActivation();
    void okClicked();
    void cancelClicked();
    void clearFind();
    void clearReplace();
    /// 0 = "Find", 1 = "Replace with".
    void selectTab(int index);

    QTabBar *tabs = nullptr;
    QFrame *findFrame = nullptr;
    QFrame *replaceFrame = nullptr;
    QPlainTextEdit *firstPartEdit = nullptr;
    QPlainTextEdit *secondPartEdit = nullptr;
    QPlainTextEdit *replaceEdit = nullptr;
    QLabel *searchTypeLabel = nullptr;
    QCheckBox *fuzzyBox = nullptr;
    QWidget *findToolHolder = nullptr;
    QToolBar *findToolBar = nullptr;
    QWidget *clearToolHolder = nullptr;
    QToolBar *clearBar = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutBoxes();
    void setStatus(int panel, const QString &text);
    bool isMainFuzzy() const;
    QString mainText(SearchBoxes::Box box) const;
    void setMainText(SearchBoxes::Box box, const QString &text);

    RunContext &m_ctx;
    SearchForm *m_main;
    SearchBoxes *m_viewer;
    QString m_tag;
};
