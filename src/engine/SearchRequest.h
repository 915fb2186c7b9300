#pragma once

#include <QString>

/// The search request as the main window holds it in its controls. A run reads
/// it once, into a RunRequest, when it starts.
class SearchRequest {
public:
    virtual ~SearchRequest() = default;

    virtual bool isFuzzy() const = 0;
    virtual QString findText() const = 0;
    virtual QString replaceText() const = 0;
    virtual QString firstPart() const = 0;
    virtual QString secondPart() const = 0;
    virtual QString fuzzyReplace() const = 0;
    virtual bool isCaseSensitive() const = 0;
    virtual bool isWholeWord() const = 0;
    virtual bool hasSubdirectories() const = 0;
    virtual bool hasBackup() const = 0;
    virtual bool isMinimizeWhileReplacing() const = 0;
    virtual QString folderPath() const = 0;
    virtual int fileCount() const = 0;
    virtual QString fileName(int index) const = 0;
    virtual bool isFileSelected(int index) const = 0;
    virtual QString filters() const = 0;
    virtual QString selectionCount() const = 0;
    /// Whether walks skip what version control ignores; off unless a window offers it.
    virtual bool skipsIgnored() const { return false; }
    /// Whether walks take hidden files and folders too (never ".git"); off unless a window offers
    /// it.
    virtual bool includesHidden() const { return false; }
    /// Whether the normal search text is a regular expression; off unless a window offers it.
    virtual bool isRegex() const { return false; }
    /// Whether each replacement takes the letter case of what it replaces; off unless a window
    /// offers it.
    virtual bool keepsCase() const { return false; }
};
