#pragma once

#include <QString>

class QAction;
class QPlainTextEdit;
class QWidget;

/// How the shown document looks: word wrap (as a right margin in twips) and the
/// font, read from the settings store; a changed word wrap is stored back.
class ViewerDisplay {
public:
    /// Right margin (twips) that means "no word wrap"; 0 wraps at the window's edge.
    static constexpr int NoWrapMargin = 50000;

    /// wrapTool, if any, shows the word wrap state as its icon and data.
    ViewerDisplay(QPlainTextEdit *document, QAction *wrapTool);

    int rightMargin() const { return m_rightMargin; }
    void setRightMargin(int twips);
    /// "on" or "off": the picture the word wrap tool shows.
    QString wordWrapPicture() const;
    /// Turns word wrap on or off, stores it and re-wraps the shown text.
    void toggleWordWrap();

    /// Word wrap and font from the settings store.
    void applySettings();
    /// The font points bigger (or smaller, when negative); never below 1 point.
    void stepFont(int points);
    /// Lets the user choose the font.
    void chooseFont(QWidget *dialogParent);

private:
    void applyRightMargin();

    QPlainTextEdit *m_document;
    QAction *m_wrapTool;
    int m_rightMargin = NoWrapMargin;
};
