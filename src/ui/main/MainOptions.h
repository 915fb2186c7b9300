#pragma once

#include <QList>
#include <QString>

#include <functional>

class MainForm;
class QCheckBox;
class QWidget;

/// The option boxes against the stored settings: each box is set from its
/// setting at start-up and stores it when clicked. Skip Ignored also sets the
/// file list's rule, Include Hidden the file and folder lists'; Backup shows or
/// hides the backup folder button.
class MainOptions {
public:
    /// What the options need from the window around them.
    struct Actions {
        /// Focus to the window's resting place.
        std::function<void()> parkFocus;
        /// The start-up step is setting the controls from the settings.
        std::function<bool()> isLoading;
    };

    /// window owns the controls of form.
    MainOptions(MainForm &form, QWidget *window, Actions actions);

    /// Sets every box from its setting, each as one start-up step: step runs it
    /// and reports a failure without stopping the others.
    void load(const std::function<void(const std::function<void()> &)> &step);
    /// The user clicked box.
    void clicked(QCheckBox *box);
    /// Every option box.
    QList<QCheckBox *> boxes() const;

private:
    /// The setting that stores box.
    QString settingOf(const QCheckBox *box) const;
    /// The lists show hidden entries exactly when the walks take them.
    void showHidden(bool show);

    MainForm &m_form;
    QWidget *m_window;
    Actions m_actions;
};
