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
    if (!m_held) {
        label->setText(text);
        return;
    }
    for (Waiting &w : m_waiting) {
        if (w.label == label) {
            w.text = text;
            return;
        }
    }
    m_waiting.append({label, text});
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
        if (w.label)
            w.label->setText(w.text);
    }
}
