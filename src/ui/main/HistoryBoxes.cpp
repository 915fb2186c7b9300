#include "HistoryBoxes.h"

#include "ui/viewer/ViewerHistory.h"

#include <QComboBox>
#include <QSignalBlocker>

HistoryBoxes::HistoryBoxes(QComboBox *find, QComboBox *replace, QComboBox *first, QComboBox *second,
                           QComboBox *fuzzyReplace)
    : m_find(find),
      m_replace(replace),
      m_first(first),
      m_second(second),
      m_fuzzyReplace(fuzzyReplace),
      m_findList(QStringLiteral("Software\\Scrivlane\\Find\\Normal"), QStringLiteral("Char")),
      m_replaceList(QStringLiteral("Software\\Scrivlane\\Replace\\Normal"),
                    QStringLiteral("ReplaceChar")),
      m_firstList(QStringLiteral("Software\\Scrivlane\\Find\\Fuzzy"), QStringLiteral("FirstChar")),
      m_secondList(QStringLiteral("Software\\Scrivlane\\Find\\Fuzzy"),
                   QStringLiteral("SecondChar")),
      m_fuzzyReplaceList(QStringLiteral("Software\\Scrivlane\\Replace\\Fuzzy"),
                         QStringLiteral("ReplaceChar"))
{
}

void HistoryBoxes::load()
{
    for (QComboBox *box : {m_find, m_first, m_second, m_fuzzyReplace, m_replace}) {
        HistoryList &list = listOf(box);
        list.load();
        const QSignalBlocker blocker(box);
        box->addItems(list.entries());
    }
}

void HistoryBoxes::saveFind(bool fuzzy)
{
    if (fuzzy) {
        m_firstList.setEntries(itemsOf(m_first));
        m_secondList.setEntries(itemsOf(m_second));
        HistoryList::saveFuzzyPair(m_firstList, m_first->currentText(), m_secondList,
                                   m_second->currentText());
        show(m_first, m_firstList, !m_first->currentText().isEmpty());
        show(m_second, m_secondList, !m_second->currentText().isEmpty());
    } else {
        m_findList.setEntries(itemsOf(m_find));
        m_findList.save(m_find->currentText());
        show(m_find, m_findList, !m_find->currentText().isEmpty());
    }
}

void HistoryBoxes::saveReplace(bool fuzzy)
{
    QComboBox *box = fuzzy ? m_fuzzyReplace : m_replace;
    HistoryList &list = listOf(box);
    list.setEntries(itemsOf(box));
    list.save(box->currentText());
    show(box, list, !box->currentText().isEmpty());
}

void HistoryBoxes::pick(QComboBox *box, int index)
{
    if (index < 0 || index >= box->count())
        return;
    HistoryList &list = listOf(box);
    list.setEntries(itemsOf(box));
    list.pick(index);
    show(box, list, true);
}

void HistoryBoxes::mirror(bool fuzzy, ViewerHistory &viewer) const
{
    using Box = SearchBoxes::Box;
    viewer.clearHistories();
    QList<QPair<const QComboBox *, Box>> pairs;
    if (fuzzy)
        pairs = {{m_first, Box::Find}, {m_second, Box::SecondPart}, {m_fuzzyReplace, Box::Replace}};
    else
        pairs = {{m_find, Box::Find}, {m_replace, Box::Replace}};
    for (const auto &[source, target] : std::as_const(pairs)) {
        QStringList entries;
        for (int i = 0; i < qMin(source->count(), HistoryList::MaxEntries); ++i) {
            if (!source->itemText(i).isEmpty())
                entries << source->itemText(i);
        }
        const std::optional<int> current =
            source->count() > 0 ? std::optional<int>(source->currentIndex()) : std::nullopt;
        viewer.showHistory(target, entries, current, source->currentText());
    }
}

HistoryList &HistoryBoxes::listOf(const QComboBox *box)
{
    if (box == m_replace)
        return m_replaceList;
    if (box == m_first)
        return m_firstList;
    if (box == m_second)
        return m_secondList;
    if (box == m_fuzzyReplace)
        return m_fuzzyReplaceList;
    return m_findList;
}

QStringList HistoryBoxes::itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

void HistoryBoxes::show(QComboBox *box, const HistoryList &list, bool selectTop)
{
    const QString text = box->currentText();
    const QSignalBlocker blocker(box);
    const QStringList &entries = list.entries();
    // Items are rewritten in place where possible: a pick arrives from the box's
    // own signal, and a model reset there would disturb the closing drop-down.
    if (box->count() == entries.size()) {
        for (int i = 0; i < entries.size(); ++i) {
            if (box->itemText(i) != entries.at(i))
                box->setItemText(i, entries.at(i));
        }
    } else {
        box->clear();
        box->addItems(entries);
    }
    if (selectTop && !entries.isEmpty())
        box->setCurrentIndex(0);
    else
        box->setEditText(text);
}
