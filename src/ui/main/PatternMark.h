#pragma once

#include <QObject>
#include <QPalette>

class MainForm;

/// Marks the find box while "Regular expression" is on and its text is no
/// pattern a run would take: a tinted box and a tip naming the error and where
/// it is. The check is the one Find and Replace refuse the pattern with.
class PatternMark : public QObject {
    Q_OBJECT

public:
    /// form's find box, its type and options are watched from now on.
    PatternMark(MainForm &form, QObject *parent);

    /// Marks or clears the box for its text and options as they are.
    void update();

private:
    MainForm &m_form;
    QPalette m_plain;
    bool m_marked = false;
};
