#include "support/TempTree.h"

#include "engine/OpenTarget.h"

#include <QtTest>

#include <optional>

class TestOpenTarget : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_t.emplace();
        m_t->write("tree/a.txt", "a");
        m_t->write("tree/b.txt", "b");
        m_t->write("tree/sub/c.txt", "c");
    }
    void cleanup() { m_t.reset(); }

    // Paths are relative to the tree unless they start with "/" or "~"; "<tree>"
    // in a path stands for the tree's absolute path.
    void resolve_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("folder");  // relative to the tree; "-" none
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("missing");
        QTest::addRow("folder") << QStringList{"tree/sub"} << "tree/sub" << QStringList{} << "";
        QTest::addRow("blanks around a pasted path")
            << QStringList{"  <tree>/tree/sub \t"} << "tree/sub" << QStringList{} << "";
        QTest::addRow("file address")
            << QStringList{"file://<tree>/tree/sub"} << "tree/sub" << QStringList{} << "";
        QTest::addRow("file opens its folder selected")
            << QStringList{"tree/a.txt"} << "tree" << QStringList{"a.txt"} << "";
        QTest::addRow("files of one folder, not of another")
            << QStringList{"tree/a.txt", "tree/sub/c.txt", "tree/b.txt"} << "tree"
            << QStringList{"a.txt", "b.txt"} << "";
        QTest::addRow("first existing path decides")
            << QStringList{"gone", "tree/sub", "tree/a.txt"} << "tree/sub" << QStringList{} << "";
        QTest::addRow("nothing exists")
            << QStringList{"gone/x", "gone/y"} << "-" << QStringList{} << "gone/x";
        QTest::addRow("dots cleaned")
            << QStringList{"tree/sub/../sub/."} << "tree/sub" << QStringList{} << "";
        QTest::addRow("home") << QStringList{"~"} << "~" << QStringList{} << "";
        QTest::addRow("empty") << QStringList{" "} << "-" << QStringList{} << "";
    }
    void resolve()
    {
        QFETCH(QStringList, paths);
        const QString tree = m_t->path();
        for (QString &path : paths) path.replace(QStringLiteral("<tree>"), tree);
        const OpenTarget target = OpenTarget::resolve(paths, tree);
        const auto absolute = [&](const QString &relative) {
            if (relative == u"-" || relative.isEmpty())
                return QString();
            if (relative == u"~")
                return QDir::toNativeSeparators(QDir::homePath());
            return QDir::toNativeSeparators(m_t->path(relative));
        };
        QFETCH(QString, folder);
        QFETCH(QString, missing);
        QCOMPARE(target.folder, absolute(folder));
        QCOMPARE(target.isValid(), folder != u"-");
        QTEST(target.files, "files");
        QCOMPARE(target.missing, absolute(missing));
    }

private:
    std::optional<TempTree> m_t;
};

QTEST_GUILESS_MAIN(TestOpenTarget)
#include "tst_opentarget.moc"
