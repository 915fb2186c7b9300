#pragma once

#include <QObject>
#include <QStringList>

class MainWindow;
class QDragEnterEvent;
class QDropEvent;

/// The ways to reach a folder besides clicking down the folder list: the path
/// field, folders and files dropped on the window, the folder of the command
/// line and a second launch handing its folder over.
class MainNavigation : public QObject {
    Q_OBJECT

public:
    explicit MainNavigation(MainWindow &window);

    /// Opens what the paths resolve to (a folder, with the files among them
    /// selected). Says so and returns false when none of them exists.
    bool open(const QStringList &paths);

    void dragEnter(QDragEnterEvent *event);
    void drop(QDropEvent *event);
    /// A second launch asked for the window: front, and its folder opened.
    void handOver(const QString &folder);

private:
    bool isIdle() const;

    MainWindow &m_w;
};
