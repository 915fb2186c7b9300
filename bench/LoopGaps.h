#pragma once

#include <QElapsedTimer>
#include <QMetaObject>
#include <QString>

#include <functional>

/// How long input would have waited during a run: the longest time between
/// two passes of the main thread's event loop (its dispatcher wakes at each,
/// or is about to wait for events in a message box's loop),
/// from start() to stop(). The main thread's CPU time in that gap tells work
/// from waiting (on the disk, or for a processor another program holds).
class LoopGaps {
public:
    /// where, read at each pass, names the point where the longest gap began.
    explicit LoopGaps(std::function<QString()> where = {});
    ~LoopGaps();
    LoopGaps(const LoopGaps &) = delete;
    LoopGaps &operator=(const LoopGaps &) = delete;

    void start();
    void stop();
    qint64 longestMs() const { return m_longestMs; }
    qint64 longestCpuMs() const { return m_longestCpuMs; }
    QString longestAfter() const { return m_longestAfter; }
    int passes() const { return m_passes; }

private:
    void pass(bool waits = false);

    std::function<QString()> m_where;
    QMetaObject::Connection m_awake;
    QMetaObject::Connection m_aboutToBlock;
    QElapsedTimer m_clock;
    qint64 m_lastMs = 0;
    qint64 m_lastCpuMs = 0;
    QString m_lastWhere;
    qint64 m_longestMs = 0;
    qint64 m_longestCpuMs = 0;
    QString m_longestAfter;
    int m_passes = 0;
    bool m_waiting = false;
};
