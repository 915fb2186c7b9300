#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

/// Whether another copy of the program runs for this user: a lock file in the
/// runtime folder, held for the life of the copy that took it. The copy that
/// holds it also listens on a local socket beside it, so that a second launch
/// can hand its folder over and bring the running window to the front. The
/// runtime folder is $XDG_RUNTIME_DIR or, without it, a folder of the user's
/// own in the temporary folder; either is used only when it is private to the
/// user (a real folder, the user's, mode 0700). Without such a folder every
/// copy runs on its own and nothing is handed over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this copy is the only one (it then holds the lock and listens),
    /// or when there is no private folder to share.
    bool tryAcquire();
    void release();
    /// Asks the running copy to come to the front and open folder (may be empty).
    /// False when no running copy answers.
    static bool handOver(const QString &folder);
    /// The lock's and the socket's paths; empty without a private folder.
    static QString lockFilePath();
    static QString socketPath();

signals:
    /// A second launch asked for the window, with the folder it was given (or none).
    void handedOver(const QString &folder);

private:
    void listen();

    QLockFile m_lock;
    /// Whether a private folder holds the lock, so that copies can meet.
    bool m_shared;
    QLocalServer *m_server = nullptr;
};
