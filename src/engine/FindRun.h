#pragma once

#include <QString>

struct RunContext;

/// The Find command: starts a run, or asks the running one to stop.
void cmdFind_Click(RunContext &ctx);

/// The Find walk: files of the folder matching pattern, then its subfolders.
void FindInFiles(RunContext &ctx, QString &folderPath, QString &pattern);

/// Label3's caption: selected " of " listed.
QString countCaption(int selected, int listed);
