#pragma once

#include <QString>

/// The search request as the main window holds it in its controls. Every value
/// is read at the moment a run needs it, so a change during a run is seen.
class SearchRequest {
public:
    virtual ~SearchRequest() = default;

    virtual bool isFuzzy() const = 0;                   ///< chkFuzzy on
    virtual QString findText() const = 0;               ///< txtFind
    virtual QString replaceText() const = 0;            ///< txtReplace
    virtual QString firstPart() const = 0;              ///< cboFirst
    virtual QString secondPart() const = 0;             ///< cboSecond
    virtual QString fuzzyReplace() const = 0;           ///< cboFuzzyReplace
    virtual bool isCaseSensitive() const = 0;           ///< chkSensitive = 1
    virtual bool isWholeWord() const = 0;               ///< chkWhole = 1
    virtual bool hasSubdirectories() const = 0;         ///< chkSubs = 1
    virtual bool hasBackup() const = 0;                 ///< chkBackup = 1
    virtual bool isMinimizeWhileReplacing() const = 0;  ///< chkMin = 1
    virtual QString folderPath() const = 0;             ///< Dir2's path
    virtual int fileCount() const = 0;                  ///< entries of File2
    virtual QString fileName(int index) const = 0;
    virtual bool isFileSelected(int index) const = 0;
    virtual QString filters() const = 0;         ///< cboFilters
    virtual QString selectionCount() const = 0;  ///< Label3's caption
    /// Whether walks skip what version control ignores; off unless a window offers it.
    virtual bool skipsIgnored() const { return false; }
};
