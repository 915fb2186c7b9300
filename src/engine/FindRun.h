#pragma once

#include <QString>

struct RunContext;

/// The Find command: starts a run, or asks the running one to stop.
void cmdFind_Click(RunContext &ctx);

/// Splits cboFilters at ";" and walks the current folder once per piece
/// (FilesSearch when Rep, else FindInFiles). Throws Failure on a twelfth piece.
void Check_Filters(RunContext &ctx, bool &Rep);

/// The Find walk: files of the folder matching pattern, then its subfolders.
void FindInFiles(RunContext &ctx, QString &folderPath, QString &pattern);

/// Label3's caption: selected " of " listed.
QString countCaption(int selected, int listed);

/// CurrentPath from Dir2's path with exactly one trailing separator.
void Get_Path(RunContext &ctx);
