#include "support/ComboItems.h"

#include "engine/RunContext.h"
#include "settings/SettingsStore.h"
#include "ui/viewer/ViewerHistory.h"
#include "ui/viewer/support/StandInMain.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

QString stored(const QString &key, const QString &value)
{
    return SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER,
                                     QStringLiteral("Software\\Scrivlane\\") + key, value,
                                     QStringLiteral("<none>"));
}

QComboBox *editableBox(QWidget *parent, const char *name)
{
    auto box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    return box;
}

const QStringList abcd{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                       QStringLiteral("D")};

}  // namespace

/// The fuzzy side of the viewer's history boxes; the normal side is covered
/// through the window.
class tst_ViewerHistory : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fuzzySearchStepKeepsBothPartsAndMirrorsThem();
    void fuzzyReplaceStepKeepsKnownTextInPlace_data();
    void fuzzyReplaceStepKeepsKnownTextInPlace();
    void secondPartPickMovesEntryInBothWindows();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    RunContext m_ctx;
    std::unique_ptr<StandInMain> m_main;
    std::unique_ptr<QWidget> m_viewer;
    QComboBox *m_find = nullptr;
    QComboBox *m_find2 = nullptr;
    QComboBox *m_replace = nullptr;
    std::unique_ptr<ViewerHistory> m_history;
};

void tst_ViewerHistory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    m_main = std::make_unique<StandInMain>();
    for (QComboBox *box : {m_main->findBox, m_main->replaceBox, m_main->firstPartBox,
                           m_main->secondPartBox, m_main->fuzzyReplaceBox})
        box->addItems(abcd);
    m_viewer = std::make_unique<QWidget>();
    m_find = editableBox(m_viewer.get(), "viewerFindBox");
    m_find2 = editableBox(m_viewer.get(), "viewerSecondPartBox");
    m_replace = editableBox(m_viewer.get(), "viewerReplaceBox");
    for (QComboBox *box : {m_find, m_find2, m_replace}) box->addItems(abcd);
    m_history = std::make_unique<ViewerHistory>(m_find, m_find2, m_replace, &m_main->form);
}

void tst_ViewerHistory::cleanup()
{
    m_history.reset();
    m_viewer.reset();
    m_main.reset();
    m_dir.reset();
}

void tst_ViewerHistory::fuzzySearchStepKeepsBothPartsAndMirrorsThem()
{
    m_find->setEditText(QStringLiteral("C"));
    m_find2->setEditText(QStringLiteral("X"));
    m_replace->setEditText(QStringLiteral("R"));
    m_history->saveSearch(true);

    const QStringList first{QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A"),
                            QStringLiteral("D")};
    const QStringList second = QStringList{QStringLiteral("X")} + abcd;
    QCOMPARE(comboItems(m_find), first);
    QCOMPARE(comboItems(m_find2), second);
    QCOMPARE(m_find2->currentText(), QStringLiteral("X"));
    QCOMPARE(stored(QStringLiteral("Find\\Fuzzy"), QStringLiteral("FirstChar0")),
             QStringLiteral("C"));
    QCOMPARE(stored(QStringLiteral("Find\\Fuzzy"), QStringLiteral("SecondChar4")),
             QStringLiteral("D"));
    // Both lists share the key: neither may wipe out the other's slots.
    QCOMPARE(stored(QStringLiteral("Find\\Fuzzy"), QStringLiteral("FirstChar3")),
             QStringLiteral("D"));

    auto main = [this](const char *name) {
        return m_main->findChild<QComboBox *>(QString::fromLatin1(name));
    };
    QCOMPARE(comboItems(main("firstPartBox")), first);
    QCOMPARE(comboItems(main("secondPartBox")), second);
    QCOMPARE(main("fuzzyReplaceBox")->currentText(), QStringLiteral("R"));
    QCOMPARE(comboItems(main("findBox")), abcd);
}

void tst_ViewerHistory::fuzzyReplaceStepKeepsKnownTextInPlace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("known text stays where it is") << QStringLiteral("C") << abcd;
    QTest::addRow("new text goes on top")
        << QStringLiteral("F") << QStringList{QStringLiteral("F")} + abcd;
}

void tst_ViewerHistory::fuzzyReplaceStepKeepsKnownTextInPlace()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    m_replace->setEditText(text);
    m_history->saveReplace(true);
    QCOMPARE(comboItems(m_replace), expected);
    QCOMPARE(m_replace->currentText(), text);
    QCOMPARE(stored(QStringLiteral("Replace\\Fuzzy"), QStringLiteral("ReplaceChar0")),
             expected.first());
    // The fuzzy step leaves the main window alone.
    QCOMPARE(comboItems(m_main->findChild<QComboBox *>(QStringLiteral("fuzzyReplaceBox"))), abcd);
}

void tst_ViewerHistory::secondPartPickMovesEntryInBothWindows()
{
    m_history->pickFind2(3, true);
    const QStringList rotated{QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral("C")};
    QCOMPARE(comboItems(m_find2), rotated);
    QCOMPARE(m_find2->currentText(), QStringLiteral("D"));
    auto second = m_main->findChild<QComboBox *>(QStringLiteral("secondPartBox"));
    QCOMPARE(comboItems(second), rotated);
    QCOMPARE(second->currentText(), QStringLiteral("D"));
    QCOMPARE(stored(QStringLiteral("Find\\Fuzzy"), QStringLiteral("SecondChar3")),
             QStringLiteral("C"));
    QCOMPARE(stored(QStringLiteral("Find\\Fuzzy"), QStringLiteral("SecondChar0")),
             QStringLiteral("D"));
}

QTEST_MAIN(tst_ViewerHistory)
#include "tst_viewerhistory.moc"
