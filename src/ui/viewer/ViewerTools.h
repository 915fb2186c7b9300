#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

/// The viewer's tools, built from their tables: the menu bar viewerMenus with its
/// menus fileMenu, formatMenu and searchMenu, the move bar moveBar and the list's
/// context menu listMenu. A chosen tool is reported by its key, a hovered one
/// by its hint; the window decides what they do.
class ViewerTools : public QObject {
    Q_OBJECT

public:
    /// The menu bar goes into menuHost, the move bar into moveHost; popupOwner
    /// owns the context menu.
    ViewerTools(QWidget *menuHost, QWidget *moveHost, QWidget *popupOwner);

    QMenuBar *menuBar() const { return m_menuBar; }
    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *formatMenu() const { return m_formatMenu; }
    QMenu *searchMenu() const { return m_searchMenu; }
    QToolBar *moveBar() const { return m_moveBar; }
    QMenu *listMenu() const { return m_listMenu; }

    /// Tool by key in a bar or menu: "fileMenu", "formatMenu", "searchMenu", "viewerMenus"
    /// (the menu bar itself), "moveBar" or "listMenu".
    QAction *tool(const QString &band, const QString &key) const;

protected:
    /// Pointing at the word wrap button shows its hint, as for the other tools.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void menuToolTriggered(const QString &key);
    void menuToolHovered(const QString &hint);
    void moveToolTriggered(const QString &key);
    void listToolTriggered(const QString &key);
    void listToolHovered(const QString &hint);

private:
    void buildMenus(QWidget *host);
    void buildMoveBar(QWidget *host);
    void buildPopup(QWidget *owner);

    QMenuBar *m_menuBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_formatMenu = nullptr;
    QMenu *m_searchMenu = nullptr;
    QToolBar *m_moveBar = nullptr;
    QMenu *m_listMenu = nullptr;
};
