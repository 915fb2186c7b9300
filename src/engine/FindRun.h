#pragma once

#include <QString>

struct RunContext;

/// The Find command's run. A click on its "Stop" tool reaches it as a stop
/// request (RunContext::requestStop) seen at its next yield.
void startFind(RunContext &ctx);

/// The Find walk: files of the folder matching pattern, then its subfolders.
void findInTree(RunContext &ctx, QString &folderPath, QString &pattern);

/// The selection label's text: selected " of " listed.
QString countCaption(int selected, int listed);
