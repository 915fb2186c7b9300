#pragma once

// Plain fakes of the interfaces a run talks through, with scripted answers.

#include "engine/BackupLocation.h"
#include "engine/DocumentBuffer.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "engine/SearchRequest.h"
#include "engine/ViewerPort.h"
#include "platform/Dialogs.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>

struct FakeRequest : SearchRequest {
    bool fuzzy = false, regex = false, keepCase = false, includeHidden = false;
    QString find, replace, first, second, fuzzyReplacement;
    bool caseSensitive = false, wholeWord = false, subdirectories = false, backup = false,
         minimize = false;
    QString folder;
    QStringList files;
    QList<bool> selected;
    QString filterText = QStringLiteral("*.*");
    QString countCaption;       // empty: computed from files/selected
    mutable int nameReads = 0;  // how often a run read the file list's names

    bool isFuzzy() const override { return fuzzy; }
    bool isRegex() const override { return regex; }
    bool keepsCase() const override { return keepCase; }
    bool includesHidden() const override { return includeHidden; }
    QString findText() const override { return find; }
    QString replaceText() const override { return replace; }
    QString firstPart() const override { return first; }
    QString secondPart() const override { return second; }
    QString fuzzyReplace() const override { return fuzzyReplacement; }
    bool isCaseSensitive() const override { return caseSensitive; }
    bool isWholeWord() const override { return wholeWord; }
    bool hasSubdirectories() const override { return subdirectories; }
    bool hasBackup() const override { return backup; }
    bool isMinimizeWhileReplacing() const override { return minimize; }
    QString folderPath() const override { return folder; }
    int fileCount() const override { return int(files.size()); }
    QString fileName(int index) const override
    {
        ++nameReads;
        return files.value(index);
    }
    bool isFileSelected(int index) const override { return selected.value(index, false); }
    QString filters() const override { return filterText; }
    QString selectionCount() const override
    {
        if (!countCaption.isEmpty())
            return countCaption;
        return QString::number(selected.count(true)) + QStringLiteral(" of ") +
               QString::number(files.size());
    }

    /// Lists the folder's files as the file list would, all selected or none.
    void setFiles(const QStringList &names, bool select)
    {
        files = names;
        selected = QList<bool>(names.size(), select);
    }
};

struct FakeMain : MainPort {
    QString panel1, panel2;
    QStringList panel2History;
    std::function<void()> onYield;
    int yields = 0;
    bool minimized = false;
    int historySaves = 0, hintResets = 0, fileListRefreshes = 0, reports = 0;
    std::function<void()> onWriteReport;

    void setStatusText(int panel, const QString &text) override
    {
        if (panel == 1) {
            panel1 = text;
        } else {
            panel2 = text;
            panel2History << text;
        }
    }
    void yieldToEvents() override
    {
        ++yields;
        if (onYield)
            onYield();
    }
    void minimizeWindow() override { minimized = true; }
    void restoreWindow() override { minimized = false; }
    void saveHistories() override { ++historySaves; }
    void resetHints() override { ++hintResets; }
    void refreshFileList() override { ++fileListRefreshes; }
    void writeReport() override
    {
        ++reports;
        if (onWriteReport)
            onWriteReport();
    }
};

struct FakeViewer : ViewerPort {
    DocumentBuffer document;
    QString hold;
    bool skipNext = false;
    QStringList list;
    int selectedIndex = -1;
    QString countLabel, posLabel, newPos, indexLabel, caption;
    QString find, replace;  // the viewer's find and replace boxes
    bool visible = false;
    int reportLayouts = 0;

    DocumentBuffer &buffer() override { return document; }
    void setSkipNextReaction(bool skip) override { skipNext = skip; }
    void clearList()
    {
        list.clear();
        selectedIndex = -1;
    }
    void addToList(const QString &path) { list << path; }
    void selectListItem(int index) override { selectedIndex = index; }
    void setCountLabel(const QString &text) { countLabel = text; }
    void setIndexLabel(const QString &text) { indexLabel = text; }
    void setCaption(const QString &text) { caption = text; }
    bool offerSaveModified() override { return true; }
    void showViewer() override { visible = true; }
    void hideViewer() override { visible = false; }
    void showReportLayout() override
    {
        ++reportLayouts;
        visible = true;
    }
};

/// A run's events in order, each as its name or "name: argument".
struct FakeEvents : RunEvents {
    QStringList events;

    void idle() override { events << QStringLiteral("idle"); }
    void requestRefused() override { events << QStringLiteral("requestRefused"); }
    void findEnded() override { events << QStringLiteral("findEnded"); }
    void fileSearched(const QString &path) override
    {
        events << QStringLiteral("fileSearched: ") + path;
    }
    void listedFileSearched(const QString &text, int number) override
    {
        events << QStringLiteral("listedFileSearched: %1 %2").arg(text).arg(number);
    }
    void filesFound(int count) override
    {
        events << QStringLiteral("filesFound: ") + QString::number(count);
    }
    void replacementsMade(int total) override
    {
        events << QStringLiteral("replacementsMade: ") + QString::number(total);
    }
    void backupFolderMade(const QString &folder) override
    {
        events << QStringLiteral("backupFolderMade: ") + folder;
    }
    void replaceStarted(const QString &startTime) override
    {
        events << QStringLiteral("replaceStarted: ") + startTime;
    }
    void restoreStarted() override { events << QStringLiteral("restoreStarted"); }
    void deletingFile(const QString &path) override
    {
        events << QStringLiteral("deletingFile: ") + path;
    }
    void folderDeleted(const QString &path) override
    {
        events << QStringLiteral("folderDeleted: ") + path;
    }

    // The list, labels and caption go to the fake viewer, as the window shows them.
    FakeViewer *viewer = nullptr;
    void showListCleared() override
    {
        if (viewer)
            viewer->clearList();
    }
    void showListed(const QString &path) override
    {
        if (viewer)
            viewer->list << path;
    }
    void showUnlisted(const QStringList &paths) override
    {
        for (const QString &path : paths) {
            const qsizetype at = viewer ? viewer->list.lastIndexOf(path) : -1;
            if (at >= 0)
                viewer->list.removeAt(at);
        }
    }
    void matchShown(qint32 position) override
    {
        if (viewer) {
            viewer->countLabel = QString::number(viewer->list.size());
            viewer->posLabel = QString::number(position);
        }
    }
    void positionShown(qint32 position, qint64 length) override
    {
        if (viewer)
            viewer->posLabel = QStringLiteral("%1 of %2").arg(position).arg(length);
    }
    void searchStartMoved(qint32 start) override
    {
        if (viewer)
            viewer->newPos = QString::number(start);
    }
    void documentLoaded() override
    {
        if (viewer)
            viewer->hold = viewer->document.text();
    }
    void documentShown(const QString &path, int index) override
    {
        if (!viewer)
            return;
        if (index > 0)
            viewer->indexLabel = QString::number(index);
        viewer->caption = QStringLiteral("Viewing document: ") + path;
    }
    // The boxes go to the fake request and viewer.
    FakeRequest *request = nullptr;
    void searchOfferedToViewer(const QString &text) override
    {
        if (viewer)
            viewer->find = text;
    }
    void viewerSearchReset() override
    {
        if (viewer) {
            viewer->find.clear();
            viewer->replace.clear();
        }
    }
    void termsShown(const QString &find, const QString &replace) override
    {
        if (request) {
            request->find = find;
            request->replace = replace;
        }
    }
    QString last() const { return events.value(events.size() - 1); }
};

struct ScriptedDialogs : Dialogs {
    struct Shown {
        QString text, title;
        MessageButtons buttons;
        MessageIcon icon;
        MessageAnswer defaultAnswer = MessageAnswer::Ok;
    };
    QList<Shown> shown;
    QList<MessageAnswer> answers;  // consumed in order; Yes/Ok when empty
    QList<std::optional<QString>> inputs;

    MessageAnswer message(const QString &text, const QString &title, MessageButtons buttons,
                          MessageIcon icon, MessageAnswer defaultAnswer) override
    {
        shown.append({text, title, buttons, icon, defaultAnswer});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
    std::optional<QString> inputText(const QString &, const QString &, const QString &d) override
    {
        if (!inputs.isEmpty())
            return inputs.takeFirst();
        return d;
    }
    QStringList titles() const
    {
        QStringList t;
        for (const Shown &s : shown) t << s.title;
        return t;
    }
};

struct FakeBackup : BackupLocation {
    QString root;
    bool specified = false;
    int commits = 0;
    QString backupRoot() override { return root; }
    bool isSpecified() override { return specified; }
    void commitChoice() override { ++commits; }
};

/// All fakes wired into one context.
struct FakeRunHost {
    FakeRequest request;
    FakeMain main;
    FakeEvents events;
    FakeViewer viewer;
    ScriptedDialogs dialogs;
    FakeBackup backup;
    RunContext ctx;

    FakeRunHost()
    {
        ctx.requestSource = &request;
        events.request = &request;
        ctx.main = &main;
        events.viewer = &viewer;
        ctx.events = &events;
        ctx.viewer = &viewer;
        ctx.dialogs = &dialogs;
        ctx.backup = &backup;
    }

    /// The context with the request taken, as a run takes it when it starts:
    /// for a test that calls a step of a run directly.
    RunContext &taken()
    {
        ctx.takeRequest();
        return ctx;
    }
};
