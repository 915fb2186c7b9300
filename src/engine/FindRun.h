#pragma once

#include <QString>

struct RunContext;

/// The Find command: starts a run, or asks the running one to stop.
void startOrStopFind(RunContext &ctx);

/// The Find walk: files of the folder matching pattern, then its subfolders.
void findInTree(RunContext &ctx, QString &folderPath, QString &pattern);

/// The selection label's text: selected " of " listed.
QString countCaption(int selected, int listed);
