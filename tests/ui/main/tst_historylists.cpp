#include "settings/SettingsStore.h"
#include "ui/HistoryList.h"

#include <QTemporaryDir>
#include <QtTest>

using SettingsStore::HKEY_CURRENT_USER;

namespace {
const QString FindKey = QStringLiteral("Software\\Scrivlane\\Find\\Normal");
const QString FuzzyKey = QStringLiteral("Software\\Scrivlane\\Find\\Fuzzy");

QString stored(const QString &key, const QString &value)
{
    return SettingsStore::readString(HKEY_CURRENT_USER, key, value, QStringLiteral("<none>"));
}

QStringList storedList(const QString &key, const QString &name, int count)
{
    QStringList values;
    for (int i = 0; i < count; ++i) values << stored(key, name + QString::number(i));
    return values;
}

QStringList letters(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i) list << QString(QChar(u'A' + i));
    return list;
}
}  // namespace

class TestHistoryLists : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        SettingsStore::setStoreFileForTesting(
            m_dir.filePath(QStringLiteral("store-%1.ini").arg(++m_run)));
    }
    void cleanupTestCase() { SettingsStore::setStoreFileForTesting(QString()); }

    void saveRule_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        const QStringList abcd = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                  QStringLiteral("D")};
        QTest::addRow("known entry changes places with the top")
            << abcd << QStringLiteral("C")
            << QStringList{QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A"),
                           QStringLiteral("D")};
        QTest::addRow("top entry stays") << abcd << QStringLiteral("A") << abcd;
        QTest::addRow("new text goes on top")
            << abcd << QStringLiteral("E")
            << QStringList{QStringLiteral("E"), QStringLiteral("A"), QStringLiteral("B"),
                           QStringLiteral("C"), QStringLiteral("D")};
        QTest::addRow("other letter case is another entry")
            << abcd << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("A"), QStringLiteral("B"),
                           QStringLiteral("C"), QStringLiteral("D")};
        QTest::addRow("empty text changes nothing") << abcd << QString() << abcd;
        QTest::addRow("first entry of an empty list")
            << QStringList() << QStringLiteral("x") << QStringList{QStringLiteral("x")};
        QStringList eleventh = letters(10);
        eleventh.prepend(QStringLiteral("new"));
        eleventh.removeLast();
        QTest::addRow("eleventh string drops the oldest")
            << letters(10) << QStringLiteral("new") << eleventh;
    }

    void saveRule()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        // A stale value beyond the list must not survive the rewrite.
        SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QStringLiteral("Char9"),
                                   QStringLiteral("old"));
        HistoryList list(FindKey, QStringLiteral("Char"));
        list.setEntries(before);
        list.save(text);
        QCOMPARE(list.entries(), after);
        QStringList expectedStore = after;
        while (expectedStore.size() < HistoryList::MaxEntries)
            expectedStore << QStringLiteral("<none>");
        QCOMPARE(storedList(FindKey, QStringLiteral("Char"), HistoryList::MaxEntries),
                 expectedStore);
        QCOMPARE(stored(FindKey, QStringLiteral("Char10")), QStringLiteral("<none>"));

        HistoryList reloaded(FindKey, QStringLiteral("Char"));
        reloaded.load();
        QCOMPARE(reloaded.entries(), after);
    }

    void pickRotatesAndWritesOnlyTheMovedPositions()
    {
        for (int i = 0; i < 4; ++i)
            SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QStringLiteral("Char%1").arg(i),
                                       QStringLiteral("stale%1").arg(i));
        HistoryList list(FindKey, QStringLiteral("Char"));
        list.setEntries(
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        list.pick(2);
        QCOMPARE(list.entries(), QStringList({QStringLiteral("C"), QStringLiteral("A"),
                                              QStringLiteral("B"), QStringLiteral("D")}));
        QCOMPARE(storedList(FindKey, QStringLiteral("Char"), 4),
                 QStringList({QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral("stale3")}));
    }

    void pickOutsideTheListDoesNothing()
    {
        HistoryList list(FindKey, QStringLiteral("Char"));
        list.setEntries({QStringLiteral("A")});
        list.pick(-1);
        list.pick(5);
        QCOMPARE(list.entries(), QStringList{QStringLiteral("A")});
        QCOMPARE(stored(FindKey, QStringLiteral("Char0")), QStringLiteral("<none>"));
    }

    void fuzzyPairWritesTenPositionsOfBoth()
    {
        HistoryList first(FuzzyKey, QStringLiteral("FirstChar"));
        HistoryList second(FuzzyKey, QStringLiteral("SecondChar"));
        first.setEntries({QStringLiteral("<b>")});
        second.setEntries(letters(10));
        HistoryList::saveFuzzyPair(first, QStringLiteral("<i>"), second, QStringLiteral("new"));

        QStringList firstStore = {QStringLiteral("<i>"), QStringLiteral("<b>")};
        while (firstStore.size() < 10) firstStore << QString();
        QCOMPARE(storedList(FuzzyKey, QStringLiteral("FirstChar"), 10), firstStore);
        QCOMPARE(second.entries().size(), 10);
        QCOMPARE(second.entries().first(), QStringLiteral("new"));
        QCOMPARE(stored(FuzzyKey, QStringLiteral("SecondChar9")), QStringLiteral("I"));

        HistoryList reloaded(FuzzyKey, QStringLiteral("FirstChar"));
        reloaded.load();
        QCOMPARE(reloaded.entries(), QStringList({QStringLiteral("<i>"), QStringLiteral("<b>")}));
    }

    void loadSkipsEmptyValuesAndReadsTenPositions()
    {
        const QStringList values = {QStringLiteral("a"), QString(), QStringLiteral("c")};
        for (int i = 0; i < values.size(); ++i)
            SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QStringLiteral("Char%1").arg(i),
                                       values[i]);
        SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QStringLiteral("Char10"),
                                   QStringLiteral("k"));
        HistoryList list(FindKey, QStringLiteral("Char"));
        list.load();
        QCOMPARE(list.entries(), QStringList({QStringLiteral("a"), QStringLiteral("c")}));
    }

private:
    QTemporaryDir m_dir;
    int m_run = 0;
};

QTEST_GUILESS_MAIN(TestHistoryLists)
#include "tst_historylists.moc"
