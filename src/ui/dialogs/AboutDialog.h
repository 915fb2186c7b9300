#pragma once

#include <QDialog>
#include <QList>
#include <QUrl>

#include <functional>

class QLabel;
class QTimer;
class QToolBar;
class Dialogs;

/// The About box: name, description, version and build date, a small
/// looping animation and a link to the project's home page. Opened modally and
/// made anew each time, so the animation always starts at its first frame.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    /// Opens an address with the desktop's browser; false when that failed.
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit AboutDialog(Dialogs &dialogs, QWidget *parent = nullptr, UrlOpener opener = {});

    /// The home page websiteLink leads to.
    static QUrl homePage();
    /// The build's date as "MM-dd-yyyy".
    static QString buildDate();

    /// One step of the animation (animationTimer's tick).
    void nextAnimationFrame();
    /// The link's click: the home page in the browser, or a message saying why not.
    void openWebsite();
    /// The frame counter: 0 before the first tick, then 1 to 4.
    int frameCounter() const { return m_counter; }

    QLabel *websiteLink = nullptr;
    QList<QLabel *> animationFrames;
    QTimer *animationTimer = nullptr;
    QToolBar *closeBar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setLinkHot(bool hot);

    Dialogs &m_dialogs;
    UrlOpener m_opener;
    QWidget *m_picture = nullptr;
    qint16 m_counter = 0;
};
