#include "MainSearchRequest.h"

#include "MainForm.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

MainSearchRequest::MainSearchRequest(const MainForm &form) : m_form(form) {}

bool MainSearchRequest::isFuzzy() const
{
    return m_form.fuzzyOption->isChecked();
}

QString MainSearchRequest::findText() const
{
    return m_form.findBox->currentText();
}

QString MainSearchRequest::replaceText() const
{
    return m_form.replaceBox->currentText();
}

QString MainSearchRequest::firstPart() const
{
    return m_form.firstPartBox->currentText();
}

QString MainSearchRequest::secondPart() const
{
    return m_form.secondPartBox->currentText();
}

QString MainSearchRequest::fuzzyReplace() const
{
    return m_form.fuzzyReplaceBox->currentText();
}

bool MainSearchRequest::isCaseSensitive() const
{
    return m_form.caseSensitiveBox->isChecked();
}

bool MainSearchRequest::isWholeWord() const
{
    return m_form.wholeWordBox->isChecked();
}

bool MainSearchRequest::hasSubdirectories() const
{
    return m_form.subfoldersBox->isChecked();
}

bool MainSearchRequest::hasBackup() const
{
    return m_form.backupBox->isChecked();
}

bool MainSearchRequest::isMinimizeWhileReplacing() const
{
    return m_form.minimizeBox->isChecked();
}

bool MainSearchRequest::skipsIgnored() const
{
    return m_form.skipIgnoredBox->isChecked();
}

bool MainSearchRequest::includesHidden() const
{
    return m_form.includeHiddenBox->isChecked();
}

bool MainSearchRequest::keepsCase() const
{
    return m_form.keepCaseBox->isChecked();
}

bool MainSearchRequest::isRegex() const
{
    return m_form.regexBox->isChecked() && !m_form.fuzzyOption->isChecked();
}

QString MainSearchRequest::folderPath() const
{
    return m_form.folderList->path();
}

int MainSearchRequest::fileCount() const
{
    return m_form.fileList->count();
}

QString MainSearchRequest::fileName(int index) const
{
    const QListWidgetItem *item = m_form.fileList->item(index);
    return item ? item->text() : QString();
}

bool MainSearchRequest::isFileSelected(int index) const
{
    return m_form.fileList->isSelected(index);
}

QString MainSearchRequest::filters() const
{
    // The chosen filter, not a pattern still being typed into the box.
    return m_form.filterBox->itemText(m_form.filterBox->currentIndex());
}

QString MainSearchRequest::selectionCount() const
{
    return m_form.fileCountLabel->text();
}
