#include "MainSearchForm.h"

#include "MainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QWidget>

MainSearchForm::MainSearchForm(QWidget *window, const MainForm &form)
    : m_window(window), m_form(form)
{
}

QComboBox *MainSearchForm::comboOf(Box box) const
{
    switch (box) {
    case Box::Find:
        return m_form.findBox;
    case Box::Replace:
        return m_form.replaceBox;
    case Box::FirstPart:
        return m_form.firstPartBox;
    case Box::SecondPart:
        return m_form.secondPartBox;
    case Box::FuzzyReplace:
        return m_form.fuzzyReplaceBox;
    }
    return m_form.findBox;
}

QCheckBox *MainSearchForm::checkBoxOf(Option option) const
{
    return option == Option::CaseSensitive ? m_form.caseSensitiveBox : m_form.wholeWordBox;
}

QString MainSearchForm::boxText(Box box) const
{
    return comboOf(box)->currentText();
}

void MainSearchForm::setBoxText(Box box, const QString &text)
{
    comboOf(box)->setEditText(text);
}

QWidget *MainSearchForm::formWindow() const
{
    return m_window;
}

bool MainSearchForm::isFuzzy() const
{
    return m_form.fuzzyOption->isChecked();
}

bool MainSearchForm::isOptionChecked(Option option) const
{
    return checkBoxOf(option)->isChecked();
}

bool MainSearchForm::toggleOption(Option option)
{
    QCheckBox *box = checkBoxOf(option);
    // click() rather than setChecked(), so that the main window stores the option.
    const bool wasChecked = box->isChecked();
    box->click();
    if (box->isChecked() == wasChecked)
        box->setChecked(!wasChecked);
    return !wasChecked;
}

void MainSearchForm::refillBox(Box box, const QStringList &entries, const QString &text)
{
    QComboBox *combo = comboOf(box);
    combo->clear();
    combo->addItems(entries);
    combo->setEditText(text);
}

void MainSearchForm::moveEntryToTop(Box box, int index)
{
    QComboBox *combo = comboOf(box);
    if (index > 0 && index < combo->count()) {
        const QString chosen = combo->itemText(index);
        for (int i = index; i > 0; --i) combo->setItemText(i, combo->itemText(i - 1));
        combo->setItemText(0, chosen);
    }
    if (combo->count() > 0) {
        combo->setCurrentIndex(0);
        combo->setEditText(combo->itemText(0));
    }
}
