#pragma once

#include "engine/BackupLocation.h"
#include "engine/DocumentBuffer.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "engine/SearchRequest.h"
#include "engine/ViewerPort.h"
#include "platform/Dialogs.h"

#include <QStringList>

#include <functional>

/// The engine's ports for a headless run driven from the command line: the
/// request comes from the arguments, every question is answered Yes, and what
/// the run reports as a failure is kept for the end of the run.
/// The viewer's part: the buffer every run works in and the list of files.
class BenchViewer : public ViewerPort {
public:
    QStringList list;

    DocumentBuffer &buffer() override { return m_buffer; }
    void setSkipNextReaction(bool) override {}
    void selectListItem(int) override {}
    bool offerSaveModified() override { return true; }
    void showViewer() override {}
    void hideViewer() override {}
    void showReportLayout() override {}

private:
    DocumentBuffer m_buffer;
};

class BenchHost : public SearchRequest,
                  public MainPort,
                  public RunEvents,
                  public Dialogs,
                  public BackupLocation {
public:
    BenchHost();

    RunContext ctx;

    bool fuzzy = false;
    QString find, replace, first, second;
    bool caseSensitive = false, wholeWord = false, backup = false;
    QString folder, filterText = QStringLiteral("*.*"), backupFolder;
    QStringList files;
    bool selectAll = false;
    bool skipIgnored = false;
    bool includeHidden = false;
    bool regex = false;
    bool keepCase = false;
    BenchViewer viewer;

    // SearchRequest
    bool isFuzzy() const override { return fuzzy; }
    QString findText() const override { return find; }
    QString replaceText() const override { return replace; }
    QString firstPart() const override { return first; }
    QString secondPart() const override { return second; }
    QString fuzzyReplace() const override { return replace; }
    bool isCaseSensitive() const override { return caseSensitive; }
    bool isWholeWord() const override { return wholeWord; }
    bool hasSubdirectories() const override { return true; }
    bool hasBackup() const override { return backup; }
    bool isMinimizeWhileReplacing() const override { return false; }
    QString folderPath() const override { return folder; }
    int fileCount() const override { return int(files.size()); }
    QString fileName(int index) const override { return files.value(index); }
    bool isFileSelected(int) const override { return selectAll; }
    QString filters() const override { return filterText; }
    bool skipsIgnored() const override { return skipIgnored; }
    bool includesHidden() const override { return includeHidden; }
    bool isRegex() const override { return regex; }
    bool keepsCase() const override { return keepCase; }
    QString selectionCount() const override;

    /// Every error or refusal the run showed, one line each, in order.
    QStringList problems;

    /// Receives status panel 2's texts when set.
    std::function<void(const QString &)> onStatus;

    // MainPort
    void setStatusText(int panel, const QString &text) override
    {
        if (panel == 2 && onStatus)
            onStatus(text);
    }
    void yieldToEvents() override {}
    void minimizeWindow() override {}
    void restoreWindow() override {}
    void termsShown(const QString &f, const QString &r) override;
    void saveHistories() override {}
    void resetHints() override {}
    void refreshFileList() override {}
    void writeReport() override {}

    // RunEvents: only the list of files is kept.
    void idle() override {}
    void requestRefused() override {}
    void findEnded() override {}
    void fileSearched(const QString &) override {}
    void listedFileSearched(const QString &, int) override {}
    void filesFound(int) override {}
    void replacementsMade(int) override {}
    void backupFolderMade(const QString &) override {}
    void replaceStarted(const QString &) override {}
    void restoreStarted() override {}
    void deletingFile(const QString &path) override;
    void folderDeleted(const QString &path) override;
    void showListCleared() override { viewer.list.clear(); }
    void showListed(const QString &path) override { viewer.list << path; }
    void showUnlisted(const QStringList &paths) override
    {
        for (const QString &path : paths) {
            const qsizetype at = viewer.list.lastIndexOf(path);
            if (at >= 0)
                viewer.list.removeAt(at);
        }
    }
    void matchShown(qint32) override {}
    void documentLoaded() override {}
    void documentShown(const QString &, int) override {}
    void positionShown(qint32, qint64) override {}
    void searchStartMoved(qint32) override {}
    void searchOfferedToViewer(const QString &) override {}
    void viewerSearchReset() override {}

    // Dialogs
    MessageAnswer message(const QString &text, const QString &title, MessageButtons buttons,
                          MessageIcon icon, MessageAnswer defaultAnswer) override;
    std::optional<QString> inputText(const QString &, const QString &,
                                     const QString &defaultText) override
    {
        return defaultText;
    }

    // BackupLocation
    QString backupRoot() override { return backupFolder; }
    bool isSpecified() override { return true; }
    void commitChoice() override {}
};
