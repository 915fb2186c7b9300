#include "ViewerHistory.h"

#include "ui/HistoryList.h"

#include <QComboBox>

namespace {

constexpr int kHistorySize = HistoryList::MaxEntries;

QStringList itemsOf(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

/// Shows entries as box's list without losing the text being edited; selectTop
/// marks entry 0 as chosen, as after a text went on top of the list.
void showEntries(QComboBox *box, const QStringList &entries, bool selectTop)
{
    const QString text = box->currentText();
    while (box->count() > entries.size()) box->removeItem(box->count() - 1);
    for (int i = 0; i < entries.size(); ++i) {
        if (i < box->count())
            box->setItemText(i, entries.at(i));
        else
            box->addItem(entries.at(i));
    }
    if (selectTop && box->count() > 0)
        box->setCurrentIndex(0);
    box->setEditText(text);
}

QStringList historyEntries(const QComboBox *source)
{
    QStringList entries;
    for (int i = 0; i < qMin(source->count(), kHistorySize); ++i) {
        if (!source->itemText(i).isEmpty())
            entries << source->itemText(i);
    }
    return entries;
}

using Box = SearchBoxes::Box;

const char *const kFindNormalKey = "Software\\Scrivlane\\Find\\Normal";
const char *const kFindFuzzyKey = "Software\\Scrivlane\\Find\\Fuzzy";
const char *const kReplaceNormalKey = "Software\\Scrivlane\\Replace\\Normal";
const char *const kReplaceFuzzyKey = "Software\\Scrivlane\\Replace\\Fuzzy";

HistoryList listOf(const QComboBox *box, const char *key, const char *valueName)
{
    HistoryList list(QString::fromLatin1(key), QString::fromLatin1(valueName));
    list.setEntries(itemsOf(box));
    return list;
}

}  // namespace

ViewerHistory::ViewerHistory(QComboBox *find, QComboBox *find2, QComboBox *replace,
                             SearchForm *main)
    : m_find(find), m_find2(find2), m_replace(replace), m_main(main)
{
}

void ViewerHistory::refillMain(Box box, const QComboBox *source) const
{
    if (m_main)
        m_main->refillBox(box, historyEntries(source), source->currentText());
}

void ViewerHistory::refillMainNormal()
{
    refillMain(Box::Find, m_find);
    refillMain(Box::Replace, m_replace);
}

void ViewerHistory::saveSearch(bool fuzzy)
{
    if (fuzzy) {
        const QString firstText = m_find->currentText();
        const QString secondText = m_find2->currentText();
        HistoryList first = listOf(m_find, kFindFuzzyKey, "FirstChar");
        HistoryList second = listOf(m_find2, kFindFuzzyKey, "SecondChar");
        HistoryList::saveFuzzyPair(first, firstText, second, secondText);
        showEntries(m_find, first.entries(), !firstText.isEmpty());
        showEntries(m_find2, second.entries(), !secondText.isEmpty());
        refillMain(Box::FirstPart, m_find);
        refillMain(Box::SecondPart, m_find2);
        refillMain(Box::FuzzyReplace, m_replace);
    } else {
        const QString text = m_find->currentText();
        HistoryList list = listOf(m_find, kFindNormalKey, "Char");
        list.save(text);
        showEntries(m_find, list.entries(), !text.isEmpty());
        refillMainNormal();
    }
}

void ViewerHistory::saveReplace(bool fuzzy)
{
    const QString text = m_replace->currentText();
    QStringList entries = itemsOf(m_replace);
    const bool listed = !text.isEmpty() && entries.mid(0, kHistorySize).contains(text);
    if (listed && !fuzzy)
        return;
    // Unlike the find side, a known replacement keeps its place.
    if (!listed && !text.isEmpty())
        entries.prepend(text);
    entries = entries.mid(0, kHistorySize);
    HistoryList list(QString::fromLatin1(fuzzy ? kReplaceFuzzyKey : kReplaceNormalKey),
                     QStringLiteral("ReplaceChar"));
    list.setEntries(entries);
    list.write();
    showEntries(m_replace, entries, !listed && !text.isEmpty());
    if (!fuzzy)
        refillMainNormal();
}

void ViewerHistory::pick(QComboBox *box, int index, Box mainBox, const char *key,
                         const char *valueName)
{
    if (index < 0 || index >= box->count())
        return;
    HistoryList list = listOf(box, key, valueName);
    list.pick(index);
    showEntries(box, list.entries(), false);
    box->setCurrentIndex(0);
    box->setEditText(box->itemText(0));
    if (m_main)
        m_main->moveEntryToTop(mainBox, index);
}

void ViewerHistory::pickFind(int index, bool fuzzy)
{
    if (fuzzy)
        pick(m_find, index, Box::FirstPart, kFindFuzzyKey, "FirstChar");
    else
        pick(m_find, index, Box::Find, kFindNormalKey, "Char");
}

void ViewerHistory::pickFind2(int index, bool fuzzy)
{
    if (fuzzy)
        pick(m_find2, index, Box::SecondPart, kFindFuzzyKey, "SecondChar");
}

void ViewerHistory::pickReplace(int index, bool fuzzy)
{
    if (fuzzy)
        pick(m_replace, index, Box::FuzzyReplace, kReplaceFuzzyKey, "ReplaceChar");
    else
        pick(m_replace, index, Box::Replace, kReplaceNormalKey, "ReplaceChar");
}

QComboBox *ViewerHistory::boxFor(SearchBoxes::Box box) const
{
    switch (box) {
    case SearchBoxes::Box::Find:
    case SearchBoxes::Box::FirstPart:
        return m_find;
    case SearchBoxes::Box::SecondPart:
        return m_find2;
    case SearchBoxes::Box::Replace:
    case SearchBoxes::Box::FuzzyReplace:
        return m_replace;
    }
    return m_find;
}

void ViewerHistory::clearHistories()
{
    for (QComboBox *box : {m_find, m_find2, m_replace}) {
        const QSignalBlocker blocker(box);
        box->clear();
    }
}

void ViewerHistory::showHistory(SearchBoxes::Box box, const QStringList &entries,
                                std::optional<int> current, const QString &text)
{
    QComboBox *combo = boxFor(box);
    const QSignalBlocker blocker(combo);
    combo->addItems(entries);
    if (current)
        combo->setCurrentIndex(qMin(*current, combo->count() - 1));
    combo->setCurrentText(text);
}

void ViewerHistory::chooseTopEntry(SearchBoxes::Box box)
{
    QComboBox *combo = boxFor(box);
    if (combo->count() > 0)
        combo->setCurrentIndex(0);
}
