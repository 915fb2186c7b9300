#pragma once

#include <QString>

struct RunContext;

/// The Replace walk with backups over one folder tree and one pattern.
void replaceInTree(RunContext &ctx, QString &topFolder, QString &pattern);
