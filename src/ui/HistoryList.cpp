#include "HistoryList.h"

#include "settings/SettingsStore.h"

using SettingsStore::HKEY_CURRENT_USER;

void HistoryList::load()
{
    m_entries.clear();
    for (int i = 0; i < MaxEntries; ++i) {
        const QString text = SettingsStore::readString(HKEY_CURRENT_USER, m_keyPath,
                                                       m_valueName + QString::number(i), QString());
        if (!text.isEmpty())
            m_entries << text;
    }
}

void HistoryList::remember(const QString &text)
{
    if (text.isEmpty())
        return;
    const qsizetype found = m_entries.indexOf(text);
    if (found >= 0)
        m_entries.swapItemsAt(0, found);
    else
        m_entries.prepend(text);
    // Cut before writing so the store never holds an entry the list dropped.
    while (m_entries.size() > MaxEntries) m_entries.removeLast();
}

void HistoryList::write() const
{
    SettingsStore::deleteKey(HKEY_CURRENT_USER, m_keyPath);
    for (int i = 0; i < m_entries.size(); ++i) writeValue(i, m_entries.at(i));
}

void HistoryList::save(const QString &text)
{
    remember(text);
    write();
}

void HistoryList::pick(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    const QString picked = m_entries.at(index);
    for (int i = index; i > 0; --i) {
        m_entries[i] = m_entries.at(i - 1);
        writeValue(i, m_entries.at(i));
    }
    m_entries[0] = picked;
    writeValue(0, picked);
}

void HistoryList::saveFuzzyPair(HistoryList &first, const QString &firstText, HistoryList &second,
                                const QString &secondText)
{
    first.remember(firstText);
    second.remember(secondText);
    SettingsStore::deleteKey(HKEY_CURRENT_USER, first.m_keyPath);
    for (int i = 0; i < MaxEntries; ++i) {
        first.writeValue(i, first.m_entries.value(i));
        second.writeValue(i, second.m_entries.value(i));
    }
}

void HistoryList::writeValue(int position, const QString &text) const
{
    SettingsStore::writeString(HKEY_CURRENT_USER, m_keyPath,
                               m_valueName + QString::number(position), text);
}
