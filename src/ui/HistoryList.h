#pragma once

#include <QString>
#include <QStringList>

/// One list of recent strings (find, replacement, fuzzy parts) with its store
/// key: at most ten entries, position 0 the most recent, compared exactly.
class HistoryList {
public:
    static constexpr int MaxEntries = 10;

    HistoryList(QString keyPath, QString valueName)
        : m_keyPath(std::move(keyPath)), m_valueName(std::move(valueName))
    {
    }

    const QStringList &entries() const { return m_entries; }
    void setEntries(const QStringList &entries) { m_entries = entries; }
    const QString &keyPath() const { return m_keyPath; }
    const QString &valueName() const { return m_valueName; }

    /// Positions 0 to 9 from the store, empty values skipped.
    void load();

    /// The save rule: a known text changes places with the top entry, a new one
    /// goes on top, the list is cut back to ten. An empty text changes nothing.
    void remember(const QString &text);

    /// Rewrites the key from the list (deletes it first).
    void write() const;

    /// Saves text into the list and rewrites its key.
    void save(const QString &text);

    /// The pick rule: the entry at index moves to the top and the entries before
    /// it move down by one; only positions 0 to index are written.
    void pick(int index);

    /// Both fuzzy find-side lists share one key: deleted once, then positions 0
    /// to 9 of both written, empty ones included.
    static void saveFuzzyPair(HistoryList &first, const QString &firstText, HistoryList &second,
                              const QString &secondText);

private:
    void writeValue(int position, const QString &text) const;

    QString m_keyPath;
    QString m_valueName;
    QStringList m_entries;
};
