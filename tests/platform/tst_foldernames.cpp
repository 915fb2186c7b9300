#include "support/TempTree.h"

#include "platform/FolderNames.h"

#include <QtTest>

// The listing both the file list and the folder list show: what it keeps, in
// which order, and that an unreadable folder lists nothing.
class TestFolderNames : public QObject {
    Q_OBJECT

private slots:
    void sorted_data()
    {
        QTest::addColumn<QStringList>("files");    // created in "tree"
        QTest::addColumn<QStringList>("folders");  // likewise
        QTest::addColumn<QString>("keep");         // "files", "folders" or "all"
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("order ignores case")
            << QStringList{"b.txt", "A.txt", "c.txt", "a2.txt"} << QStringList{} << "files"
            << QStringList{"A.txt", "a2.txt", "b.txt", "c.txt"};
        QTest::addRow("files only") << QStringList{"x.txt"} << QStringList{"Sub", "other"}
                                    << "files" << QStringList{"x.txt"};
        QTest::addRow("folders only") << QStringList{"x.txt"} << QStringList{"sub", "Other"}
                                      << "folders" << QStringList{"Other", "sub"};
        QTest::addRow("hidden kept when asked") << QStringList{".hidden", "seen"} << QStringList{}
                                                << "all" << QStringList{".hidden", "seen"};
        QTest::addRow("empty folder") << QStringList{} << QStringList{} << "all" << QStringList{};
    }
    void sorted()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QString, keep);
        QFETCH(QStringList, expected);
        TempTree t;
        t.mkdir("tree");
        for (const QString &name : files) t.write("tree/" + name, "x");
        for (const QString &name : folders) t.mkdir("tree/" + name);
        const auto kept = [&](const FileSystem::Entry &e) {
            if (keep == "files")
                return e.kind == FileSystem::EntryKind::File;
            if (keep == "folders")
                return e.kind == FileSystem::EntryKind::Folder;
            return true;
        };
        QCOMPARE(FolderNames::sorted(t.path("tree"), kept), expected);
    }

    void unreadableFolderListsNothing()
    {
        TempTree t;
        const auto all = [](const FileSystem::Entry &) { return true; };
        QCOMPARE(FolderNames::sorted(t.path("missing"), all), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestFolderNames)
#include "tst_foldernames.moc"
