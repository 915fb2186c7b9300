#pragma once

#include <QLatin1StringView>
#include <QString>

/// The texts the error log writes as each entry's source. They are part of the
/// log's format, which users and their tools read, so they keep the names of
/// the handlers that first wrote them; nothing else in the code uses those names.
namespace LogSource {

// The main window.
inline constexpr QLatin1StringView mainLoad{"Form_Load-frmFind.frm"};
inline constexpr QLatin1StringView viewSource{"View_Source-frmFind.frm"};
inline constexpr QLatin1StringView findCommand{"cmdFind_Click-frmFind.frm"};
inline constexpr QLatin1StringView replaceCommand{"cmdReplace_Click-frmFind.frm"};
inline constexpr QLatin1StringView undoCommand{"cmdUndo_Click-frmFind.frm"};
/// Entries the Replace walk (and the Undo walk) passes over.
inline constexpr QLatin1StringView replaceWalk{"FilesSearch-frmFind.frm"};
/// Entries the Find walk passes over.
inline constexpr QLatin1StringView findWalk{"FindInFiles-frmFind.frm"};

/// A step of the file list's and folder list's context menu ("RenameFile", "DelFolder", ...).
inline QString mainPopup(const QString &step)
{
    return QLatin1StringView("PopUpToolBar_Click:") + step + QLatin1StringView("-frmFind.frm");
}

// The folder picker.
inline constexpr QLatin1StringView folderPicker{"Folderbar_Click-frmFolders.frm"};

// The viewer.
inline constexpr QLatin1StringView viewerActivate{"Form_Activate-frmViewer.frm"};
inline constexpr QLatin1StringView viewerPrinter{"ToolBar_Click:PrinterError-frmViewer.frm"};
inline constexpr QLatin1StringView viewerRenameFile{
    "PopUpToolBar_Click:RenameFile_Error-frmViewer.frm"};
inline constexpr QLatin1StringView viewerDeleteFile{"PopUpToolBar_Click:DeleteFile-frmViewer.frm"};
// What loads or saves the viewer's document; inViewer() completes the text.
inline constexpr QLatin1StringView viewerListClick{"List1_Click"};
inline constexpr QLatin1StringView viewerToolBar{"ToolBar_Click"};
inline constexpr QLatin1StringView viewerFindNext{"mnuFindNext_Click"};
inline constexpr QLatin1StringView viewerUnload{"Form_Unload"};

/// The viewer's source text for what: what followed by the viewer's suffix.
inline QString inViewer(const QString &what)
{
    return what + QLatin1StringView("-frmViewer.frm");
}

}  // namespace LogSource
