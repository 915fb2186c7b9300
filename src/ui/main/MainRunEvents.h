#pragma once

#include "engine/RunEvents.h"

class MainWindow;

/// A run's events as the main window shows them: its status panels, the Find
/// tool's caption, and the viewer's list of files, labels and caption.
class MainRunEvents : public RunEvents {
public:
    explicit MainRunEvents(MainWindow &window) : m_window(window) {}

    void idle() override;
    void requestRefused() override;
    void findEnded() override;
    void fileSearched(const QString &path) override;
    void listedFileSearched(const QString &text, int number) override;
    void filesFound(int count) override;
    void replacementsMade(int total) override;
    void backupFolderMade(const QString &folder) override;
    void replaceStarted(const QString &startTime) override;
    void restoreStarted() override;
    void deletingFile(const QString &path) override;
    void folderDeleted(const QString &path) override;
    void matchShown(qint32 position) override;
    void documentLoaded() override;
    void documentShown(const QString &path, int index) override;
    void positionShown(qint32 position, qint64 length) override;
    void searchStartMoved(qint32 start) override;
    void searchOfferedToViewer(const QString &text) override;
    void viewerSearchReset() override;
    void termsShown(const QString &find, const QString &replace) override;

protected:
    void showListCleared() override;
    void showListed(const QString &path) override;
    void showUnlisted(const QStringList &paths) override;

private:
    MainWindow &m_window;
};
