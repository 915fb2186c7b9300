#include "RunRequest.h"

#include "SearchRequest.h"

RunRequest RunRequest::termsOf(const SearchRequest &source)
{
    RunRequest r;
    r.m_fuzzy = source.isFuzzy();
    r.m_regex = source.isRegex();
    r.m_find = source.findText();
    r.m_replace = source.replaceText();
    r.m_firstPart = source.firstPart();
    r.m_secondPart = source.secondPart();
    r.m_fuzzyReplace = source.fuzzyReplace();
    r.m_caseSensitive = source.isCaseSensitive();
    r.m_wholeWord = source.isWholeWord();
    r.m_keepCase = source.keepsCase();
    return r;
}

RunRequest RunRequest::takenFrom(const SearchRequest &source)
{
    RunRequest r = termsOf(source);
    r.m_subdirectories = source.hasSubdirectories();
    r.m_backup = source.hasBackup();
    r.m_minimize = source.isMinimizeWhileReplacing();
    r.m_skipIgnored = source.skipsIgnored();
    r.m_includeHidden = source.includesHidden();
    r.m_folder = source.folderPath();
    r.m_filters = source.filters();
    r.m_selectionCount = source.selectionCount();
    const int count = source.fileCount();
    r.m_files.reserve(count);
    r.m_selected.reserve(count);
    for (int i = 0; i < count; ++i) {
        r.m_files.append(source.fileName(i));
        r.m_selected.append(source.isFileSelected(i));
    }
    return r;
}

void RunRequest::takeWritingOptions(const SearchRequest &source)
{
    m_backup = source.hasBackup();
    m_minimize = source.isMinimizeWhileReplacing();
}
