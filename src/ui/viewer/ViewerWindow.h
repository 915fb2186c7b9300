#pragma once

#include "ViewerDisplay.h"
#include "ViewerFileOperations.h"
#include "ViewerForm.h"
#include "ViewerSearch.h"
#include "engine/DocumentBuffer.h"
#include "engine/ViewerPort.h"
#include "platform/Dialogs.h"
#include "ui/PressedModifiers.h"
#include "ui/SearchForm.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <optional>

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
class ViewerDocumentFile;
class ViewerDocumentView;
class ViewerHistory;
class ViewerTools;

/// The file viewer: the list of files a run found or changed, the
/// shown document with find, find next and manual replacement, saving, printing,
/// fonts, word wrap and the last report. Closing it only hides it.
class ViewerWindow : public QMainWindow,
                     public ViewerForm,
                     public ViewerPort,
                     public SearchBoxes,
                     private ViewerSearch::Host,
                     private ViewerFileOperations::Host {
    Q_OBJECT

public:
    /// Right margin (twips) that means "no word wrap"; 0 wraps at the window's edge.
    static constexpr int NoWrapMargin = ViewerDisplay::NoWrapMargin;

    /// mainForm is the main window's search form the viewer follows; it may be null.
    ViewerWindow(RunContext &ctx, SearchForm *mainForm);
    ~ViewerWindow() override;

    // ViewerPort
    DocumentBuffer &buffer() override { return m_buffer; }
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
    bool offerSaveModified() override { return offerToSaveChanges(); }
    void showViewer() override;
    void hideViewer() override;
    void showReportLayout() override;

    // SearchBoxes: the find box doubles as the first part, the replacement box
    // as the fuzzy replacement.
    QString boxText(Box box) const override;
    void setBoxText(Box box, const QString &text) override;

    /// The main window's history of one box shown in ours: its entries, the
    /// chosen one (none when the list was empty) and the text.
    void showHistory(Box box, const QStringList &entries, std::optional<int> current,
                     const QString &text);
    void clearHistories();
    /// The top entry of box's list chosen, when it has one.
    void chooseTopEntry(Box box);
    void focusList();

    /// Word wrap and font from the settings store, applied to the document and
    /// the "wordwrap" tool.
    void applyStoredSettings();

    /// The large search dialog, created on first use and shared with the main window.
    LargeSearchDialog *largeSearchDialog();

    // Document list and navigation.
    void prepareOnActivation();
    void showListedFile();
    void documentEdited();
    /// False when the user chose to save and the save failed: the document
    /// stays, so the caller must not replace it.
    bool offerToSaveChanges() override;
    /// At shut-down: offers to save unsaved changes with Yes, No and Cancel;
    /// false when the program must stay open.
    bool offerSaveBeforeExit();
    /// The find-next variant: gives the owner write permission before saving.
    bool offerToSaveChangesResettingAttributes();
    void previousFile();
    void nextFile();
    void closeViewer();
    /// Ctrl+Q: quits the program as the main window does, offering unsaved
    /// changes first.
    void quitProgram();
    /// Esc: stops a find next that walks the list, then hides the viewer.
    void stopAndHide();
    void openFile();
    /// Loads path (from the open dialog) and lists it; tests call it directly.
    void openPath(const QString &path);
    void saveCurrent();
    void saveAs();
    void saveAsPath(const QString &path);

    // Find and replace.
    void findFirst();
    void findNext();
    void replaceCurrent();
    void saveFindHistoryHere();
    void saveReplaceHistoryHere();
    void findBoxPicked(int index);
    void secondPartBoxPicked(int index);
    void replaceBoxPicked(int index);
    void openLargeFind();
    void openLargeReplace();

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

    int rightMargin() const;
    void setRightMargin(int twips);
    /// "on" or "off": the picture the "wordwrap" tool shows.
    QString wordWrapPicture() const;

    bool m_fileModified = false;
    qint32 m_searchStart = 0;
    qint32 m_foundPos = 0;

    /// Tool by key in a bar or menu: viewerMenus's menus ("fileMenu", "formatMenu",
    /// "searchMenu", "Main"), "moveBar" or "listMenu".
    QAction *tool(const QString &band, const QString &key) const;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void buildTools();
    void runMenuTool(const QString &key);
    void runListTool(const QString &key);
    void runMoveTool(const QString &key);
    void reportFailure(const QString &message, MessageIcon icon, const QString &title,
                       const QString &source, const QString &description);

    // ViewerSearch::Host
    bool isFuzzyMode() const override;
    void setStatus(int panel, const QString &text) override;
    void saveHistory() override;
    bool loadDocument(const QString &path, const QString &source) override;
    void showFileInfo(const QString &path) override;
    void updateFileModified() override;
    bool isFileModified() const override { return m_fileModified; }
    void markFileModified() override { m_fileModified = true; }
    bool promptSaveResettingAttributes() override
    {
        return offerToSaveChangesResettingAttributes();
    }
    void selectRowQuietly(int row) override;
    /// Moves the list's selection back to the shown document without reloading it.
    void keepShownEntrySelected();
    bool isShowingFacts() const override;
    qint32 &searchStart() override { return m_searchStart; }
    qint32 &foundPos() override { return m_foundPos; }

    // ViewerFileOperations::Host
    void showSelectedEntry() override { showListedFile(); }
    void discardChanges() override;
    void reportRenameFailure(const QString &description) override;

    void openLargeSearch(bool fromFindBox);
    void toggleMainOption(SearchForm::Option option, const QString &toolKey);
    QComboBox *comboOf(Box box) const;
    /// The main window's text of box; empty without a main window.
    QString mainText(Box box) const;
    QWidget *mainWindow() const;

    RunContext &m_ctx;
    SearchForm *m_form;
    DocumentBuffer m_buffer;
    QString m_tag;
    int m_findWidth = 2370;
    ViewerDocumentView *m_view = nullptr;
    ViewerTools *m_tools = nullptr;
    std::unique_ptr<ViewerDisplay> m_display;
    std::unique_ptr<ViewerDocumentFile> m_file;
    LargeSearchDialog *m_largeSearch = nullptr;
    std::unique_ptr<ViewerHistory> m_history;
    std::unique_ptr<ViewerSearch> m_search;
    std::unique_ptr<ViewerFileOperations> m_fileOperations;
    PressedModifiers m_pressedModifiers;
};
