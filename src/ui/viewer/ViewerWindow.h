#pragma once

#include "ViewerDisplay.h"
#include "ViewerDocumentFile.h"
#include "ViewerDocumentList.h"
#include "ViewerDocumentView.h"
#include "ViewerFileCommands.h"
#include "ViewerFileOperations.h"
#include "ViewerForm.h"
#include "ViewerHistory.h"
#include "ViewerSearch.h"
#include "engine/DocumentBuffer.h"
#include "engine/SearchEvents.h"
#include "engine/ViewerPort.h"
#include "platform/Dialogs.h"
#include "ui/SearchForm.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

// The controls' classes are declared by ViewerForm.h.
class QAction;
class QPrinter;
struct RunContext;
class LargeSearchDialog;
class RunStatusText;
class ViewerTools;

/// The file viewer: the list of files a run found or changed, the
/// shown document with find, find next and manual replacement, saving, printing,
/// fonts, word wrap and the last report. Closing it only hides it.
class ViewerWindow : public QMainWindow,
                     public ViewerForm,
                     public ViewerPort,
                     public SearchEvents,
                     public SearchBoxes,
                     private ViewerSearch::Host,
                     private ViewerFileOperations::Host,
                     private ViewerFileCommands::Host,
                     private ViewerDocumentList::Host {
    Q_OBJECT

public:
    /// Right margin (twips) that means "no word wrap"; 0 wraps at the window's edge.
    static constexpr int NoWrapMargin = ViewerDisplay::NoWrapMargin;

    /// mainForm is the main window's search form the viewer follows; it may be null.
    ViewerWindow(RunContext &ctx, SearchForm *mainForm);
    ~ViewerWindow() override;

    // A run's list, labels and caption, as the main window shows its events.
    void clearList();
    void addToList(const QString &path);
    void setCountLabel(const QString &text);
    void setIndexLabel(const QString &text);
    /// The found position's label; a text starting "-1" shows "Not found".
    void setPosLabel(const QString &text);
    /// The same for numbers, made into text only when shown.
    void setCountLabel(int count);
    void setPosLabel(qint32 position);
    void setFindText(const QString &text);
    void setReplaceText(const QString &text);
    void setCaption(const QString &text);
    /// The labels above go through texts, which the main window holds during its runs.
    void setRunTexts(RunStatusText *texts);

    // ViewerPort
    DocumentBuffer &buffer() override { return m_buffer; }
    /// The held copy: the text as loaded, to tell later whether it was changed.
    void setHoldText(const QString &text);
    void setSkipNextReaction(bool skip) override
    {
        skip ? m_list->skipNextReaction() : m_list->dropPendingSkip();
    }
    /// A run or command has asked that the next reaction be skipped.
    bool isSkipPending() const { return m_list->isSkipPending(); }
    int listCount() const;
    QString listItem(int index) const;
    void selectListItem(int index) override;
    QString findText() const;
    QString findText2() const;
    bool offerSaveModified() override { return offerToSaveChanges(); }
    void showViewer() override;
    void hideViewer() override;
    void showReportLayout() override;

    // SearchEvents: a run's searches and the viewer's own, as the labels show them.
    void positionShown(qint32 position, qint64 length) override;
    void searchStartMoved(qint32 start) override;

    // SearchBoxes: the find box doubles as the first part, the replacement box
    // as the fuzzy replacement.
    QString boxText(Box box) const override;
    void setBoxText(Box box, const QString &text) override;

    /// The find, second part and replacement boxes with their lists.
    /// The find, second part and replacement boxes with their lists.
    ViewerHistory &history() const { return *m_history; }
    void focusList();

    /// Word wrap and font from the settings store, applied to the document and
    /// the "wordwrap" tool.
    void applyStoredSettings() { m_display->applySettings(); }

    /// The large search dialog, created on first use and shared with the main window.
    LargeSearchDialog *largeSearchDialog();

    // Document list and navigation.
    void prepareOnActivation();
    void showListedFile() { m_list->showSelectedFile(); }
    void documentEdited() { m_list->documentEdited(); }
    /// False when the user chose to save and the save failed: the document
    /// stays, so the caller must not replace it.
    bool offerToSaveChanges() override { return m_file->promptSave(); }
    /// At shut-down: offers to save unsaved changes with Yes, No and Cancel;
    /// false when the program must stay open.
    bool offerSaveBeforeExit() { return m_file->promptSaveBeforeExit(); }
    /// The find-next variant: gives the owner write permission before saving.
    bool offerToSaveChangesResettingAttributes() { return m_file->promptSave(); }
    void previousFile() { m_list->previousFile(); }
    void nextFile() { m_list->nextFile(); }
    void closeViewer();
    /// The move bar's find next and replace: a stop left from an earlier walk is cleared first.
    void resumeFindNext();
    void resumeReplace();
    /// Ctrl+Q: quits the program as the main window does, offering unsaved
    /// changes first.
    void quitProgram();
    /// Esc: stops a find next that walks the list, then hides the viewer.
    void stopAndHide();
    void openFile() { m_fileCommands->openFile(); }
    /// Loads path (from the open dialog) and lists it; tests call it directly.
    void openPath(const QString &path) { m_fileCommands->openPath(path); }
    void saveCurrent() { m_file->saveCurrent(); }
    void saveAs() { m_fileCommands->saveAs(); }
    void saveAsPath(const QString &path) { m_file->saveAs(path); }

    // Find and replace.
    void findFirst() { m_search->findFirst(); }
    void findNext() { m_search->findNext(); }
    void replaceCurrent() { m_search->replaceCurrent(); }
    void saveFindHistoryHere() { m_history->saveSearch(isFuzzyMode()); }
    void saveReplaceHistoryHere() { m_history->saveReplace(isFuzzyMode()); }
    void findBoxPicked(int index) { m_history->pickFind(index, isFuzzyMode()); }
    void secondPartBoxPicked(int index) { m_history->pickFind2(index, isFuzzyMode()); }
    void replaceBoxPicked(int index) { m_history->pickReplace(index, isFuzzyMode()); }
    void openLargeFind();
    void openLargeReplace();

    // Display, printing and report.
    void toggleFileInfo();
    void toggleCase();
    void toggleWhole();
    void biggerFont() { m_display->stepFont(1); }
    void smallerFont() { m_display->stepFont(-1); }
    void setFonts() { m_display->chooseFont(this); }
    void toggleWordWrap();
    void print() { m_fileCommands->print(); }
    /// Prints the document's plain text on printer (no dialog).
    void printTo(QPrinter &printer) { m_fileCommands->printTo(printer); }
    void showLastReport() { m_fileCommands->showLastReport(); }
    void layoutControls();

    // List context menu.
    void popupFind();
    void popupOpen() { m_fileOperations->openFile(); }
    void popupCopyPath() { m_fileOperations->copyPath(); }
    void popupRename() { m_fileOperations->renameFile(); }
    void popupDeleteFile() { m_fileOperations->deleteFile(); }

    int rightMargin() const { return m_display->rightMargin(); }
    void setRightMargin(int twips) { m_display->setRightMargin(twips); }
    /// "on" or "off": the picture the "wordwrap" tool shows.
    QString wordWrapPicture() const { return m_display->wordWrapPicture(); }

    /// The shown document holds changes not yet saved.
    bool isFileModified() const override { return m_file->isModified(); }
    /// Where the last search found its match; -1 when it found none.
    qint32 foundPosition() const { return m_search->foundPos(); }
    /// Where the next search of the document starts, as the runs set it.
    const QString &searchStart() const { return m_searchStart; }

    /// Tool by key in a bar or menu: "fileMenu", "formatMenu", "searchMenu", "viewerMenus"
    /// (the menu bar itself), "moveBar" or "listMenu".
    QAction *tool(const QString &band, const QString &key) const;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connectControls();
    void buildTools();
    void reportFailure(const QString &message, MessageIcon icon, const QString &title,
                       const QString &source, const QString &description) override;

    // ViewerSearch::Host
    bool isFuzzyMode() const override;
    void setStatus(int panel, const QString &text) override;
    void saveHistory() override;
    bool loadDocument(const QString &path, const QString &source) override;
    void showFileInfo(const QString &path) override;
    void updateFileModified() override { m_file->updateModified(); }
    void markFileModified() override { m_file->setModified(true); }
    bool promptSaveResettingAttributes() override
    {
        return offerToSaveChangesResettingAttributes();
    }
    void selectRowQuietly(int row) override { m_list->selectRowQuietly(row); }
    bool isShowingFacts() const override { return m_view->isShowingFacts(); }

    // ViewerFileOperations::Host
    void showSelectedEntry() override { showListedFile(); }
    void discardChanges() override { m_file->discardChanges(); }
    void reportRenameFailure(const QString &description) override;

    // ViewerFileCommands::Host
    void listOpenedFile(const QString &path) override { m_list->appendShown(path); }
    void skipNextListReaction() override { m_list->skipNextReaction(); }
    QString selectedEntry() const override;

    // ViewerDocumentList::Host
    void restartSearch() override { m_search->resetPositions(); }

    void setLabelText(QLabel *label, const QString &text);
    void setLabelText(QLabel *label, std::function<QString()> text);
    void openLargeSearch(bool fromFindBox);
    void toggleMainOption(SearchForm::Option option, const QString &toolKey);
    /// The main window's text of box; empty without a main window.
    QString mainText(Box box) const;
    QWidget *mainWindow() const;

    RunContext &m_ctx;
    SearchForm *m_form;
    DocumentBuffer m_buffer;
    int m_findWidth = 2370;
    /// A value, not a hidden widget: runs set it for every file they search.
    QString m_searchStart;
    ViewerDocumentView *m_view = nullptr;
    ViewerTools *m_tools = nullptr;
    std::unique_ptr<ViewerDisplay> m_display;
    std::unique_ptr<ViewerDocumentFile> m_file;
    LargeSearchDialog *m_largeSearch = nullptr;
    std::unique_ptr<ViewerHistory> m_history;
    std::unique_ptr<ViewerSearch> m_search;
    std::unique_ptr<ViewerFileOperations> m_fileOperations;
    std::unique_ptr<ViewerFileCommands> m_fileCommands;
    std::unique_ptr<ViewerDocumentList> m_list;
    RunStatusText *m_runTexts = nullptr;
};
