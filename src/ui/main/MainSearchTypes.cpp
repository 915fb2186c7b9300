#include "MainSearchTypes.h"

#include "MainForm.h"
#include "RadioIcons.h"
#include "ui/dialogs/LargeSearchDialog.h"

#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QToolBar>

MainSearchTypes::MainSearchTypes(MainForm &form, QWidget *window, Actions actions)
    : m_form(form), m_window(window), m_actions(std::move(actions))
{
}

void MainSearchTypes::placeFuzzyPanel()
{
    m_form.fuzzyPanel->setGeometry(m_form.findBoxesFrame->rect());
    m_form.fuzzyPanel->raise();
}

void MainSearchTypes::updateIcons()
{
    QAction *normal = m_form.tool(QStringLiteral("searchTypeBar"), QStringLiteral("normal"));
    QAction *fuzzy = m_form.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"));
    normal->setIcon(RadioIcons::icon(m_form.normalOption->isChecked(), m_window));
    fuzzy->setIcon(RadioIcons::icon(m_form.fuzzyOption->isChecked(), m_window));
}

LargeSearchDialog *MainSearchTypes::hideLargeSearch() const
{
    // The large search dialog is created on first use only.
    auto *large = m_window->findChild<LargeSearchDialog *>();
    if (large)
        large->hide();
    return large;
}

void MainSearchTypes::normalChosen()
{
    updateIcons();
    hideLargeSearch();
    m_form.fuzzyPanel->hide();
    m_actions.parkFocus();
}

void MainSearchTypes::fuzzyChosen()
{
    updateIcons();
    placeFuzzyPanel();
    if (LargeSearchDialog *large = hideLargeSearch())
        large->setTag(QStringLiteral("FuzzyReplace"));
    if (m_form.fuzzyOption->isChecked())
        m_form.fuzzyPanel->show();
    m_actions.parkFocus();
}

void MainSearchTypes::runTool(const QString &key)
{
    LargeSearchDialog *large = m_actions.largeSearch();
    if (key == u"normal") {
        m_form.normalOption->setChecked(true);
        normalChosen();
        large->setFuzzy(false);
    } else if (key == u"fuzzy") {
        m_form.fuzzyOption->setChecked(true);
        fuzzyChosen();
        large->setFuzzy(true);
    } else if (key == u"large") {
        showLargeSearch(true);
    }
    m_actions.mirrorHistories();
    m_form.searchTypeBar->update();
}

void MainSearchTypes::showLargeSearch(bool fill)
{
    LargeSearchDialog *large = m_actions.largeSearch();
    if (fill) {
        if (m_form.fuzzyOption->isChecked())
            large->fill(true, m_form.firstPartBox->currentText(),
                        m_form.secondPartBox->currentText());
        else
            large->fill(false, m_form.findBox->currentText(), m_form.replaceBox->currentText());
        large->setTag(QStringLiteral("Scrivlane"));
    }
    large->open();
}
