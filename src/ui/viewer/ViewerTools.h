#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

/// The viewer's tools, built from their tables: the menu bar ToolBar with its
/// menus subFile, subFont and subSearch, the move bar Movebar and the list's
/// context menu FileOptions. A chosen tool is reported by its key, a hovered one
/// by its hint; the window decides what they do.
class ViewerTools : public QObject {
    Q_OBJECT

public:
    /// The menu bar goes into menuHost, the move bar into moveHost; popupOwner
    /// owns the context menu.
    ViewerTools(QWidget *menuHost, QWidget *moveHost, QWidget *popupOwner);

    QMenuBar *toolBar() const { return m_toolBar; }
    QMenu *subFile() const { return m_subFile; }
    QMenu *subFont() const { return m_subFont; }
    QMenu *subSearch() const { return m_subSearch; }
    QToolBar *movebar() const { return m_movebar; }
    QMenu *popup() const { return m_popup; }

    /// Tool by key in a bar or menu: "subFile", "subFont", "subSearch", "Main"
    /// (the menu bar itself), "Movebar" or "FileOptions".
    QAction *tool(const QString &band, const QString &key) const;

protected:
    /// Pointing at the word wrap button shows its hint, as for the other tools.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void toolBarToolTriggered(const QString &key);
    void toolBarToolHovered(const QString &hint);
    void movebarToolTriggered(const QString &key);
    void popupToolTriggered(const QString &key);
    void popupToolHovered(const QString &hint);

private:
    void buildToolBar(QWidget *host);
    void buildMovebar(QWidget *host);
    void buildPopup(QWidget *owner);

    QMenuBar *m_toolBar = nullptr;
    QMenu *m_subFile = nullptr;
    QMenu *m_subFont = nullptr;
    QMenu *m_subSearch = nullptr;
    QToolBar *m_movebar = nullptr;
    QMenu *m_popup = nullptr;
};
