#pragma once

#include <QString>
#include <QStringList>

/// The file filter text as every walk and the file list read it: patterns
/// separated by ";"; one that starts with "!" leaves out the files it takes,
/// and "!name/" leaves out the folders of that name (a walk never enters
/// them). "*.htm;*.css;!*.min.css;!node_modules/". Without any pattern that
/// takes files, every file is taken.
class FileNameFilter {
public:
    explicit FileNameFilter(const QString &text = QString());

    /// Whether text is a filter the program can use: no path separator except
    /// the "/" that ends a folder exclusion, no control character, no "!"
    /// without a name.
    static bool isValid(const QString &text);

    /// Whether the text's piece is an exclusion rather than a pattern to walk for.
    static bool isExclusion(const QString &piece);

    /// Whether a file name is taken: some pattern takes it and no exclusion does.
    bool takesFile(const QString &name) const;
    /// Whether an exclusion leaves out this file name.
    bool excludesFile(const QString &name) const;
    /// Whether an exclusion leaves out folders of this name.
    bool excludesFolder(const QString &name) const;
    /// Whether the text holds any exclusion at all.
    bool hasExclusions() const { return !m_files.isEmpty() || !m_folders.isEmpty(); }

private:
    QStringList m_patterns;
    QStringList m_files;
    QStringList m_folders;
};
