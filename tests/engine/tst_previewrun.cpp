#include "engine/PlainMatcher.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QtTest>

// A preview writes nothing; Replace ticked then writes exactly the ticked
// replacements and leaves a file changed since the preview as it is.
class TestPreviewRun : public QObject {
    Q_OBJECT

private slots:
    void replacesWhatIsTicked_data();
    void replacesWhatIsTicked();
};

void TestPreviewRun::replacesWhatIsTicked_data()
{
    QTest::addColumn<bool>("walk");
    // What happens between the preview and Replace ticked: "untick a" leaves
    // a.txt out, "untick one" the second cat of b.txt, "edit b" changes b.txt,
    // "change boxes" types other texts and opens another folder in the window.
    QTest::addColumn<QString>("step");
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("passedOver");
    for (const bool walk : {false, true}) {
        const char *how = walk ? "walk" : "selected";
        QTest::addRow("%s, all ticked", how)
            << walk << "" << QByteArray("dog\n") << QByteArray("dog dog\r\nx\r\n") << 0;
        QTest::addRow("%s, a file unticked", how)
            << walk << "untick a" << QByteArray("cat\n") << QByteArray("dog dog\r\nx\r\n") << 0;
        QTest::addRow("%s, one replacement unticked", how)
            << walk << "untick one" << QByteArray("dog\n") << QByteArray("dog cat\r\nx\r\n") << 0;
        QTest::addRow("%s, a file edited since", how)
            << walk << "edit b" << QByteArray("dog\n") << QByteArray("cat cat edited") << 1;
        QTest::addRow("%s, the boxes changed since", how)
            << walk << "change boxes" << QByteArray("dog\n") << QByteArray("dog dog\r\nx\r\n") << 0;
    }
}

void TestPreviewRun::replacesWhatIsTicked()
{
    QFETCH(bool, walk);
    QFETCH(QString, step);
    TempTree t;
    const QString dir = walk ? QStringLiteral("top/sub/") : QStringLiteral("top/");
    t.write(dir + "a.txt", "cat\n");
    t.write(dir + "b.txt", "cat cat\r\nx\r\n");
    t.write(dir + "c.txt", "no match\n");
    FakeRunHost h;
    h.request.folder = t.path("top");
    h.request.setFiles(walk ? QStringList() : QStringList{"a.txt", "b.txt", "c.txt"}, true);
    h.request.subdirectories = walk;
    h.request.find = "cat";
    h.request.replace = "dog";
    PreviewResult result(std::make_shared<PlainMatcher>(h.request.find, false, false),
                         h.request.replace);
    PreviewRun::preview(h.ctx, result);
    QCOMPARE(t.read(dir + "a.txt"), QByteArray("cat\n"));
    QCOMPARE(result.fileCount(), 2);
    QCOMPARE(result.replacementTotal(), 3);
    QVERIFY(h.ctx.state.reportBody.isEmpty());

    const int a = result.path(0).endsWith("a.txt") ? 0 : 1;
    if (step == "untick a")
        result.setFileTicked(a, false);
    else if (step == "untick one")
        result.setTicked(1 - a, 1, false);
    else if (step == "edit b")
        t.write(dir + "b.txt", "cat cat edited");
    if (step == "change boxes") {
        h.request.find = "a";
        h.request.replace = "bird";
        h.request.caseSensitive = true;
        h.request.folder = t.mkdir("other");
        h.request.subdirectories = !walk;
    }
    PreviewRun::replaceTicked(h.ctx, result.ticked());
    QTEST(t.read(dir + "a.txt"), "a");
    QTEST(t.read(dir + "b.txt"), "b");
    QCOMPARE(t.read(dir + "c.txt"), QByteArray("no match\n"));
    QTEST(int(h.ctx.state.passedOverFiles.size()), "passedOver");
}

QTEST_GUILESS_MAIN(TestPreviewRun)
#include "tst_previewrun.moc"
