#pragma once

class QString;
class ViewerWindow;

/// Which of the viewer's commands a tool runs, by the tool's key in its menu
/// or bar (the keys ViewerTools gives its actions).
namespace ViewerToolRouting {

/// A tool of the menu bar's menus.
void runMenuTool(ViewerWindow &window, const QString &key);
/// A tool of the list's context menu.
void runListTool(ViewerWindow &window, const QString &key);
/// A tool of the move bar.
void runMoveTool(ViewerWindow &window, const QString &key);

}  // namespace ViewerToolRouting
