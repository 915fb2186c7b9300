#pragma once

#include "ui/SearchForm.h"

class QCheckBox;
class QComboBox;
class QWidget;
class MainForm;

/// The search form the main window shows to the viewer and the large search
/// dialog, over the main window's own controls.
class MainSearchForm : public SearchForm {
public:
    MainSearchForm(QWidget *window, const MainForm &form);

    QString boxText(Box box) const override;
    void setBoxText(Box box, const QString &text) override;
    QWidget *formWindow() const override;
    bool isFuzzy() const override;
    bool isOptionChecked(Option option) const override;
    bool toggleOption(Option option) override;
    void refillBox(Box box, const QStringList &entries, const QString &text) override;
    void moveEntryToTop(Box box, int index) override;

private:
    QComboBox *comboOf(Box box) const;
    QCheckBox *checkBoxOf(Option option) const;

    QWidget *m_window;
    const MainForm &m_form;
};
