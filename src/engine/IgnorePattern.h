#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

/// One line of an ignore file (".gitignore", ".git/info/exclude", the user's
/// excludes file) as version control reads it: "!" negates, a trailing "/"
/// takes folders only, a "/" at the start or in the middle anchors the pattern
/// to the file's own folder, "*", "?", "[...]" and "**" as in its wildcards,
/// "\" escapes, trailing blanks dropped unless escaped. Works on the bytes of
/// names, as they lie on disk.
class IgnorePattern {
public:
    /// The pattern of line (without its line end); blank lines and comments
    /// give one that is not valid and takes nothing.
    static IgnorePattern fromLine(QByteArrayView line);
    /// Every pattern of an ignore file's content, in file order.
    static QList<IgnorePattern> fromFile(QByteArrayView content);

    bool isValid() const { return m_valid; }
    bool isNegative() const { return m_negative; }

    /// Whether the pattern takes the entry whose path relative to the pattern
    /// file's folder is relativePath ("a/b/name"), with basename its last name;
    /// ignoreCase for a repository that ignores the case of ASCII letters.
    bool matches(QByteArrayView relativePath, QByteArrayView basename, bool isFolder,
                 bool ignoreCase = false) const;

    /// The wildcard rule itself; with pathAware, "*", "?" and "[...]" never
    /// match "/" and "**" between slashes spans folders.
    static bool wildcardMatch(QByteArrayView pattern, QByteArrayView text, bool pathAware,
                              bool foldCase = false);

private:
    QByteArray m_pattern;
    // Cheap tests a name must pass before it is matched.
    QByteArray m_literalTail;
    QByteArray m_literalRun;
    bool m_valid = false;
    bool m_negative = false;
    bool m_foldersOnly = false;
    bool m_basenameOnly = false;
};
