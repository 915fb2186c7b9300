#include "MainOptions.h"

#include "MainForm.h"
#include "MainSettings.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

MainOptions::MainOptions(MainForm &form, QWidget *window, Actions actions)
    : m_form(form), m_window(window), m_actions(std::move(actions))
{
}

QList<QCheckBox *> MainOptions::boxes() const
{
    return {m_form.subfoldersBox, m_form.caseSensitiveBox, m_form.wholeWordBox,
            m_form.minimizeBox,   m_form.backupBox,        m_form.skipIgnoredBox,
            m_form.regexBox,      m_form.includeHiddenBox, m_form.keepCaseBox};
}

QString MainOptions::settingOf(const QCheckBox *box) const
{
    if (box == m_form.caseSensitiveBox)
        return QStringLiteral("Case Sensitive");
    if (box == m_form.subfoldersBox)
        return QStringLiteral("Search subdirectories");
    if (box == m_form.wholeWordBox)
        return QStringLiteral("Whole Word");
    if (box == m_form.minimizeBox)
        return QStringLiteral("Minimize");
    if (box == m_form.backupBox)
        return QStringLiteral("Backup");
    if (box == m_form.regexBox)
        return QStringLiteral("Regular Expression");
    if (box == m_form.includeHiddenBox)
        return QStringLiteral("Include Hidden");
    if (box == m_form.keepCaseBox)
        return QStringLiteral("Keep Case");
    return QStringLiteral("Skip Ignored");
}

void MainOptions::load(const std::function<void(const std::function<void()> &)> &step)
{
    for (QCheckBox *box : {m_form.caseSensitiveBox, m_form.subfoldersBox, m_form.wholeWordBox,
                           m_form.minimizeBox, m_form.backupBox, m_form.skipIgnoredBox,
                           m_form.regexBox, m_form.includeHiddenBox, m_form.keepCaseBox})
        step([&] { box->setChecked(MainSettings::option(settingOf(box))); });
    step([this] { m_form.fileList->setSkipIgnored(m_form.skipIgnoredBox->isChecked()); });
    step([this] { showHidden(m_form.includeHiddenBox->isChecked()); });
    step([this] { m_form.backupFolderButton->setVisible(m_form.backupBox->isChecked()); });
}

void MainOptions::showHidden(bool show)
{
    m_form.fileList->setIncludeHidden(show);
    m_form.folderList->setShowHidden(show);
}

void MainOptions::clicked(QCheckBox *box)
{
    const bool checked = box->isChecked();
    if (box == m_form.backupBox && m_actions.isLoading())
        return;
    MainSettings::setOption(settingOf(box), checked);
    if (box == m_form.skipIgnoredBox)
        m_form.fileList->setSkipIgnored(checked);
    if (box == m_form.includeHiddenBox)
        showHidden(checked);
    if (box == m_form.backupBox)
        m_form.backupFolderButton->setVisible(checked);
    // Case and whole word are also switched from the viewer: focus stays there.
    const bool fromViewer = box == m_form.caseSensitiveBox || box == m_form.wholeWordBox;
    if (!fromViewer || QApplication::activeWindow() == m_window)
        m_actions.parkFocus();
}
