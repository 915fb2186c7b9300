#pragma once

#include "engine/SearchRequest.h"

class MainForm;

/// The search request read from the main window's controls at the moment a
/// run asks, so a change during a run is seen.
class MainSearchRequest : public SearchRequest {
public:
    explicit MainSearchRequest(const MainForm &form);

    bool isFuzzy() const override;
    QString findText() const override;
    QString replaceText() const override;
    QString firstPart() const override;
    QString secondPart() const override;
    QString fuzzyReplace() const override;
    bool isCaseSensitive() const override;
    bool isWholeWord() const override;
    bool hasSubdirectories() const override;
    bool hasBackup() const override;
    bool isMinimizeWhileReplacing() const override;
    QString folderPath() const override;
    int fileCount() const override;
    QString fileName(int index) const override;
    bool isFileSelected(int index) const override;
    QString filters() const override;
    QString selectionCount() const override;
    bool skipsIgnored() const override;
    bool isRegex() const override;
    bool includesHidden() const override;
    bool keepsCase() const override;

private:
    const MainForm &m_form;
};
