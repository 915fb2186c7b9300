#pragma once

#include <QString>
#include <QStringList>

/// What a path typed into the window, passed on the command line or dropped on
/// it opens: a folder, and the files in it to select.
struct OpenTarget {
    /// The folder to open; empty when none of the paths exists.
    QString folder;
    /// Names of files inside folder to select (the files among the paths).
    QStringList files;
    /// When nothing can be opened: the first path, made absolute, for the message.
    QString missing;

    bool isValid() const { return !folder.isEmpty(); }

    /// Resolves paths in order: the first one that exists decides. A folder opens
    /// as it is; a file opens its folder, and every given file in that same folder
    /// is selected. Blanks around a path are dropped, "~" is the home folder, a
    /// "file:" address is taken as its local path, and a relative path is taken
    /// from base.
    static OpenTarget resolve(const QStringList &paths, const QString &base);

    /// One path made absolute and clean as resolve() reads it; nothing is checked.
    static QString absolutePath(const QString &path, const QString &base);
};
