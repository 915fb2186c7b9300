#pragma once

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
class ViewerWindow;
struct RunContext;

/// The large search dialog (frmBigFind): roomy multi-line boxes for a search or
/// replacement text; Ok pastes them into the main window's and the viewer's boxes.
/// Shown without blocking; it hides itself when another window becomes active.
class LargeSearchDialog : public QDialog {
    Q_OBJECT

public:
    LargeSearchDialog(RunContext &ctx, QWidget *mainWindow, ViewerWindow *viewer);

    /// Who opened it: "Scrivlane" (main window) or "Template" (viewer) fill the
    /// boxes at activation; anything else leaves them as they are.
    void setTag(const QString &tag) { m_tag = tag; }
    QString tag() const { return m_tag; }

    /// Shows the dialog without blocking and activates it.
    void open() override;

    void Form_Activate();
    void okClicked();
    void cancelClicked();
    void clearFind();
    void clearReplace();
    /// 0 = "Find", 1 = "Replace with".
    void selectTab(int index);

    QTabBar *tab1 = nullptr;
    QFrame *Frame2 = nullptr;
    QFrame *frameRep = nullptr;
    QPlainTextEdit *rtbFirstFuzz = nullptr;
    QPlainTextEdit *rtbSecondFuzz = nullptr;
    QPlainTextEdit *rtbReplace = nullptr;
    QLabel *Label5 = nullptr;
    QCheckBox *chkfuzz = nullptr;
    QWidget *picLarge = nullptr;
    QToolBar *FindBar = nullptr;
    QWidget *picClear1 = nullptr;
    QToolBar *clearBar1 = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutBoxes();
    void setStatus(int panel, const QString &text);
    bool isMainFuzzy() const;
    QString mainText(const char *name) const;
    void setMainText(const char *name, const QString &text);

    RunContext &m_ctx;
    QWidget *m_mainWindow;
    ViewerWindow *m_viewer;
    QString m_tag;
};
