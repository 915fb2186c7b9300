#pragma once

#include <QLockFile>
#include <QString>

/// Whether another copy of the program runs for this user: a lock file in the
/// runtime folder, held for the life of the copy that took it.
class SingleInstance {
public:
    SingleInstance();

    /// True when this copy is the only one (it then holds the lock).
    bool tryAcquire();
    void release();
    static QString lockFilePath();

private:
    QLockFile m_lock;
};
