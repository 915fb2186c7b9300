#include "RunStatusText.h"

#include <QAbstractEventDispatcher>
#include <QLabel>

#include <utility>

RunStatusText::~RunStatusText()
{
    for (const QMetaObject::Connection &c : std::as_const(m_passes)) QObject::disconnect(c);
}

void RunStatusText::setText(QLabel *label, const QString &text)
{
    setText(label, text, QString());
}

void RunStatusText::setText(QLabel *label, const QString &lead, const QString &tail)
{
    if (!m_held) {
        label->setText(tail.isEmpty() ? lead : lead + tail);
        return;
    }
    for (Waiting &w : m_waiting) {
        if (w.label == label) {
            w.lead = lead;
            w.tail = tail;
            w.shown = label->text();
            return;
        }
    }
    m_waiting.append({label, lead, tail, label->text()});
}

void RunStatusText::hold()
{
    if (std::exchange(m_held, true))
        return;
    // Every pass starts with one of these, a message box's loop as much as a
    // run's yield, so nothing is painted before its latest text is in place.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
        m_passes << QObject::connect(dispatcher, &QAbstractEventDispatcher::awake,
                                     [this] { apply(); })
                 << QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                     [this] { apply(); });
    }
}

void RunStatusText::release()
{
    m_held = false;
    for (const QMetaObject::Connection &c : std::as_const(m_passes)) QObject::disconnect(c);
    m_passes.clear();
    apply();
}

void RunStatusText::letThrough(const std::function<void()> &pass)
{
    apply();
    const bool held = std::exchange(m_held, false);
    pass();
    m_held = held;
}

void RunStatusText::apply()
{
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    for (const Waiting &w : waiting) {
        // A text set past the hold (by the user's click in a pass) is newer.
        if (w.label && w.label->text() == w.shown)
            w.label->setText(w.tail.isEmpty() ? w.lead : w.lead + w.tail);
    }
}
