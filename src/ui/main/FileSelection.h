#pragma once

#include <QString>

#include <functional>

class MainWindow;

/// The main window's file selection: the drive, folder, filter and file lists,
/// the count under them, their hints and the file pop-up menu's enabling rule.
class FileSelection {
public:
    /// parkFocus moves the focus off the lists, as the window does after a click;
    /// storeChosenFilter keeps the chosen filter for the next start.
    FileSelection(MainWindow &window, std::function<void()> parkFocus,
                  std::function<void()> storeChosenFilter);

    /// A tool of the file bar: "all" or "none".
    void runTool(const QString &key);
    void countSelected();
    void selectAll();
    void selectNone();
    /// Shows path's drive and opens path in the folder list.
    void setFolder(const QString &path);
    void driveChosen();
    void folderChanged();
    void filterChosen();
    /// The "..." button of "File Filters:": the filter list manager.
    void openFilterManager();
    void fileListHovered();
    void folderListHovered();
    /// The enabling rule of the file pop-up menu.
    void updateFileOptions();
    /// The selected files listed in the viewer after what it lists already; the
    /// first entry's path, empty when the list is empty.
    QString listSelectedInViewer();
    /// Ctrl+V and Enter in the file list: the viewer on the selected files.
    void viewSelected();

private:
    MainWindow &m_w;
    std::function<void()> m_parkFocus;
    std::function<void()> m_storeChosenFilter;
};
