#pragma once

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;

/// The texts of labels a run sets (the status bar's, the viewer's counts)
/// while it goes on. A run sets them for every file it reaches, and a label
/// lays out and announces each new text, yet they are seen only when the
/// window paints, in a pass of the event loop. While held, a label takes just
/// the latest text the run gave it: at the start of each pass and when the
/// hold ends; unless the label was given a text of its own since, which stays.
class RunStatusText {
public:
    RunStatusText() = default;
    ~RunStatusText();
    RunStatusText(const RunStatusText &) = delete;
    RunStatusText &operator=(const RunStatusText &) = delete;

    /// Sets the label's text, at once unless held.
    void setText(QLabel *label, const QString &text);
    /// Sets the label's text to lead followed by tail, joined only when the
    /// label takes it: a run naming every file it reaches builds no text unseen.
    void setText(QLabel *label, const QString &lead, const QString &tail);
    /// Holds texts from a run's start...
    void hold();
    /// ...to its end, which puts every waiting text in place.
    void release();
    /// Runs a pass of the event loop with texts in place and, while it lasts,
    /// not held: what the window does then (a hint under the pointer) shows at once.
    void letThrough(const std::function<void()> &pass);

private:
    void apply();

    struct Waiting {
        QPointer<QLabel> label;
        QString lead;
        QString tail;
        QString shown;  ///< the label's text when the latest was given
    };
    bool m_held = false;
    QList<Waiting> m_waiting;
    QList<QMetaObject::Connection> m_passes;
};
