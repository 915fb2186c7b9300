#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SearchRequest;

/// What a run searches for and where, taken once from the window when the run
/// starts: a change to the window's boxes during the run is not seen by it.
class RunRequest {
public:
    RunRequest() = default;

    /// Everything the request holds, the file list's names and selection included.
    static RunRequest takenFrom(const SearchRequest &source);
    /// What to search only (mode, texts, case, whole word): for a search in the
    /// viewer's document, which needs no folder or file list.
    static RunRequest termsOf(const SearchRequest &source);

    /// Takes the backup and minimise options of source: how a run writes, not what.
    void takeWritingOptions(const SearchRequest &source);
    /// Undo searches for the replacement and writes the find text back.
    void exchangeFindAndReplace() { m_find.swap(m_replace); }
    /// The viewer's Find Next searches with the parts in its own boxes.
    void takeParts(const QString &first, const QString &second)
    {
        m_firstPart = first;
        m_secondPart = second;
    }

    bool isFuzzy() const { return m_fuzzy; }
    bool isRegex() const { return m_regex; }
    const QString &findText() const { return m_find; }
    const QString &replaceText() const { return m_replace; }
    const QString &firstPart() const { return m_firstPart; }
    const QString &secondPart() const { return m_secondPart; }
    const QString &fuzzyReplace() const { return m_fuzzyReplace; }
    bool isCaseSensitive() const { return m_caseSensitive; }
    bool isWholeWord() const { return m_wholeWord; }
    bool keepsCase() const { return m_keepCase; }

    bool hasSubdirectories() const { return m_subdirectories; }
    bool hasBackup() const { return m_backup; }
    bool isMinimizeWhileReplacing() const { return m_minimize; }
    bool skipsIgnored() const { return m_skipIgnored; }
    bool includesHidden() const { return m_includeHidden; }
    const QString &folderPath() const { return m_folder; }
    const QString &filters() const { return m_filters; }
    /// The selection label's text: selected " of " listed.
    const QString &selectionCount() const { return m_selectionCount; }
    int fileCount() const { return int(m_files.size()); }
    QString fileName(int index) const { return m_files.value(index); }
    bool isFileSelected(int index) const { return m_selected.value(index, false); }

private:
    bool m_fuzzy = false;
    bool m_regex = false;
    QString m_find;
    QString m_replace;
    QString m_firstPart;
    QString m_secondPart;
    QString m_fuzzyReplace;
    bool m_caseSensitive = false;
    bool m_wholeWord = false;
    bool m_keepCase = false;

    bool m_subdirectories = false;
    bool m_backup = false;
    bool m_minimize = false;
    bool m_skipIgnored = false;
    bool m_includeHidden = false;
    QString m_folder;
    QString m_filters;
    QString m_selectionCount;
    QStringList m_files;
    QList<bool> m_selected;
};
