#pragma once

#include "engine/DocumentBuffer.h"
#include "engine/ViewerPort.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QToolBar;
class QWidget;
struct RunContext;
class LargeSearchDialog;

/// The file viewer (frmViewer): the list of files a run found or changed, the
/// shown document with find, find next and manual replacement, saving, printing,
/// fonts, word wrap and the last report. Closing it only hides it.
class ViewerWindow : public QMainWindow, public ViewerPort {
    Q_OBJECT

public:
    /// Right margin (twips) that means "no word wrap"; 0 wraps at the window's edge.
    static constexpr int NoWrapMargin = 50000;

    ViewerWindow(RunContext &ctx, QWidget *mainWindow);
    ~ViewerWindow() override;

    // ViewerPort
    DocumentBuffer &rtbDefault() override { return m_buffer; }
    void setHoldText(const QString &text) override;
    void setTag(const QString &tag) override { m_tag = tag; }
    QString tag() const override { return m_tag; }
    void clearList() override;
    void addToList(const QString &path) override;
    int listCount() const override;
    QString listItem(int index) const override;
    void selectListItem(int index) override;
    void setCountLabel(const QString &text) override;
    void setPosLabel(const QString &text) override;
    void setNewPos(const QString &text) override;
    void setIndexLabel(const QString &text) override;
    void setCaption(const QString &text) override;
    QString findText() const override;
    void setFindText(const QString &text) override;
    QString findText2() const override;
    void setReplaceText(const QString &text) override;
    void showViewer() override;
    void hideViewer() override;
    void showReportLayout() override;

    /// Word wrap and font from the settings store, applied to the document and
    /// the "wordwrap" tool.
    void ApplyViewerSettings();

    /// The large search dialog, created on first use and shared with the main window.
    LargeSearchDialog *largeSearchDialog();

    // Document list and navigation.
    void Form_Activate();
    void List1_Click();
    void rtbDefault_Change();
    void PromptSaveModified();
    /// The find-next variant: gives the owner write permission before saving.
    void PromptSaveModifiedResettingAttributes();
    void previousFile();
    void nextFile();
    void closeViewer();
    void openFile();
    /// Loads path (from the open dialog) and lists it; tests call it directly.
    void openPath(const QString &path);
    void SaveCurrent();
    void saveAs();
    void saveAsPath(const QString &path);

    // Find and replace.
    void Find_First();
    void mnuFindNext_Click();
    void ReplaceCurrent();
    void Save_SearchCharHere();
    void Save_ReplaceCharHere();
    void cboFind_Click(int index);
    void cboFind2_Click(int index);
    void cboReplace_Click(int index);
    void cmdViewFind_Click();
    void LargeReplaceButton_Click();

    // Display, printing and report.
    void toggleFileInfo();
    void toggleCase();
    void toggleWhole();
    void biggerFont();
    void smallerFont();
    void setFonts();
    void toggleWordWrap();
    void print();
    /// Prints the document's plain text on printer (no dialog).
    void printTo(QPrinter &printer);
    void showLastReport();
    void layoutControls();

    // List context menu.
    void popupFind();
    void popupOpen();
    void popupCopyPath();
    void popupRename();
    void popupDeleteFile();

    /// "##.0" followed by " KB": 512 bytes show as ".5 KB".
    static QString kilobytes(qint64 bytes);

    int rightMargin() const { return m_rightMargin; }
    void setRightMargin(int twips);
    /// "on" or "off": the picture the "wordwrap" tool shows.
    QString wordWrapPicture() const;

    bool FileModified = false;
    qint32 SearchStart = 0;
    qint32 FoundPos = 0;

    // Controls, named as the design names them.
    QWidget *Command1 = nullptr;
    QWidget *Picture2 = nullptr;
    QWidget *Picture3 = nullptr;
    QMenuBar *ToolBar = nullptr;
    QMenu *subFile = nullptr;
    QMenu *subFont = nullptr;
    QMenu *subSearch = nullptr;
    QToolBar *Movebar = nullptr;
    QMenu *PopUpToolBar = nullptr;
    QListWidget *List1 = nullptr;
    /// The visible text of rtbDefault (objectName "rtbDefault").
    QPlainTextEdit *rtbDefaultView = nullptr;
    /// rtbHold: the text as last loaded (or saved); never shown.
    DocumentBuffer *rtbHold = nullptr;
    QFrame *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblIndex = nullptr;
    QLabel *lblPos = nullptr;
    QLabel *lblFileDate = nullptr;
    QLabel *lblFileLen = nullptr;
    QLineEdit *txtnewPos = nullptr;
    QComboBox *cboFind = nullptr;
    QComboBox *cboFind2 = nullptr;
    QComboBox *cboReplace = nullptr;
    QPushButton *cmdViewFind = nullptr;
    QPushButton *LargeReplaceButton = nullptr;
    QCheckBox *chkMax = nullptr;

    /// Tool by key in a bar or menu: ToolBar's menus ("subFile", "subFont",
    /// "subSearch", "Main"), "Movebar" or "FileOptions".
    QAction *tool(const QString &band, const QString &key) const;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildToolBar();
    void buildMovebar();
    void buildPopup();
    void runToolBarTool(const QString &key, QAction *action);
    void runMovebarTool(const QString &key);
    QComboBox *mainCombo(const char *name) const;
    QCheckBox *mainBox(const char *name) const;
    QString mainText(const char *name) const;
    bool isFuzzyMode() const;
    void setStatus(int panel, const QString &text);
    void reportFailure(const QString &message, MessageIcon icon, const QString &title,
                       const QString &source, const QString &description);

    void syncViewFromBuffer();
    void syncSelectionFromBuffer();
    void writeViewToBuffer();
    void writeSelectionToBuffer();

    bool loadDocument(const QString &path, const QString &source);
    void showFileInfo(const QString &path);
    void updateFileModified();
    bool saveDocument(const QString &path, const QString &source);
    void markSaved();
    void promptSave(bool resetAttributes);

    bool checkFindInput(bool fromFindNext);
    void finishFindNext(bool matched);
    void pickEntry(QComboBox *box, int k, const char *mainName, const QString &key,
                   const QString &valueName);
    void openLargeSearch(bool fromFindBox);
    void toggleMainBox(const char *boxName, const QString &toolKey);
    void stepFont(int points);
    void applyRightMargin();
    void renameFile(const QString &oldPath, const QString &newPath, const QString &newName);

    RunContext &m_ctx;
    QWidget *m_mainWindow;
    DocumentBuffer m_buffer;
    QString m_tag;
    int m_rightMargin = NoWrapMargin;
    int m_findWidth = 2370;
    bool m_syncing = false;
    /// The control lags behind the buffer while the viewer is hidden.
    bool m_viewStale = false;
    bool m_syncScheduled = false;
    /// The text the control was last given or reported, as the control shows it.
    QString m_viewText;
    /// The user typed since the last load or save.
    bool m_userTyped = false;
    LargeSearchDialog *m_largeSearch = nullptr;
};
