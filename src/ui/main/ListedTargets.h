#pragma once

#include <QString>
#include <QStringList>

class MainForm;

/// The files a path opens (command line, drop, path field) that the file list
/// does not show at first.
namespace ListedTargets {

/// Selects files in form's file list. When the filter hides some that another
/// filter would show, the first filter of the list that shows them all is
/// chosen instead. Returns why a file still stays out (a hidden file, one no
/// filter shows, one git ignores, no regular file); empty when every file is
/// selected.
QString select(MainForm &form, const QStringList &files);

}  // namespace ListedTargets
