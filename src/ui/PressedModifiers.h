#pragma once

#include <QHash>
#include <QKeyEvent>

/// Shortcuts that act when a key is released need the modifiers the key was
/// pressed with: Ctrl or Alt is often let go before the letter.
class PressedModifiers {
public:
    void keyPressed(const QKeyEvent *event)
    {
        if (!event->isAutoRepeat())
            m_pressed.insert(event->key(), event->modifiers());
    }

    /// Ctrl, Alt, Shift and Meta as they were when the released key went down.
    Qt::KeyboardModifiers keyReleased(const QKeyEvent *event)
    {
        const Qt::KeyboardModifiers mods =
            m_pressed.contains(event->key()) ? m_pressed.take(event->key()) : event->modifiers();
        return mods &
               (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    }

private:
    QHash<int, Qt::KeyboardModifiers> m_pressed;
};
