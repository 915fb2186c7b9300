#include "engine/LargeFileReplace.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunRequest.h"
#include "engine/SearchMatcher.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QtTest>

// "Keep case": each replacement follows the letter case of the text it
// replaces, alike in Replace (also of a file large enough to be streamed), in
// the preview and in the viewer's replacement of its selected match.
class TestKeepCase : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LargeFileReplace::setSizesForTesting(0, 0); }
    void replacementFollowsTheMatch_data();
    void replacementFollowsTheMatch();
};

void TestKeepCase::replacementFollowsTheMatch_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("matched");
    QTest::addColumn<QString>("written");
    auto row = [](const char *name, const QString &find, const QString &replace,
                  const QString &matched, const QString &written, bool regex = false) {
        QTest::addRow("%s", name) << find << replace << regex << matched << written;
    };
    row("lower", "colour", "color", "colour", "color");
    row("upper", "colour", "color", "COLOUR", "COLOR");
    row("first upper", "colour", "color", "Colour", "Color");
    row("first upper keeps the rest as typed", "baz", "fooBar", "Baz", "FooBar");
    row("lower lowers what is typed", "baz", "fooBar", "baz", "foobar");
    row("mixed: as typed", "colour", "coLor", "cOLOUR", "coLor");
    row("mixed, upper first: as typed", "colour", "color", "CoLoUr", "color");
    row("one upper letter starts a word", "a", "the", "A", "The");
    row("one lower letter", "a", "The", "a", "the");
    row("no letters: as typed", "1.5", "One-and-a-Half", "1.5", "One-and-a-Half");
    row("letters after other characters", "-x", "-why", "-X", "-Why");
    row("sharp s, first upper", QString::fromUtf8("straße"), "allee", QString::fromUtf8("Straße"),
        "Allee");
    row("sharp s in upper case text", QString::fromUtf8("straße"), "allee",
        QString::fromUtf8("STRAßE"), "ALLEE");
    row("upper case sharp s", "strasse", QString::fromUtf8("gäßchen"), "STRASSE",
        QString::fromUtf8("GÄSSCHEN"));
    row("one accented letter", QString::fromUtf8("é"), QString::fromUtf8("è"),
        QString::fromUtf8("É"), QString::fromUtf8("È"));
    row("accented upper", QString::fromUtf8("école"), QString::fromUtf8("lycée"),
        QString::fromUtf8("ÉCOLE"), QString::fromUtf8("LYCÉE"));
    row("a group of a regular expression", "(\\w+)our", "$1or", "COLOUR", "COLOR", true);
}

void TestKeepCase::replacementFollowsTheMatch()
{
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, regex);
    QFETCH(QString, matched);
    QFETCH(QString, written);
    const QByteArray before = "<" + matched.toUtf8() + ">\n";
    const QByteArray after = "<" + written.toUtf8() + ">\n";
    TempTree t;
    auto host = [&](FakeRunHost &h, const QString &folder) {
        t.write(folder + "/sub/a.txt", before);
        h.request.folder = t.path(folder);
        h.request.subdirectories = true;
        h.request.find = find;
        h.request.replace = replace;
        h.request.regex = regex;
        h.request.keepCase = true;
        h.ctx.requestSource = &h.request;
    };

    // Replace, with every file large enough to be replaced piece by piece.
    LargeFileReplace::setSizesForTesting(1, 4);
    FakeRunHost replacing;
    host(replacing, "replace");
    runReplace(replacing.ctx);
    QCOMPARE(t.read("replace/sub/a.txt"), after);

    // The preview shows what Replace ticked then writes.
    FakeRunHost previewing;
    host(previewing, "preview");
    PreviewResult result = PreviewResult::forRequest(RunRequest::takenFrom(previewing.request));
    QVERIFY(PreviewRun::preview(previewing.ctx, result));
    QCOMPARE(result.fileCount(), 1);
    QCOMPARE(result.context(0, 0).newText, written);
    PreviewRun::replaceTicked(previewing.ctx, result.ticked());
    QCOMPARE(t.read("preview/sub/a.txt"), after);

    // The viewer replaces its selected match with this text.
    const QString text = QString::fromUtf8(before);
    QCOMPARE(replacementAt(previewing.ctx.currentTerms(), replace, text, 1, matched.size()),
             written);
}

QTEST_GUILESS_MAIN(TestKeepCase)
#include "tst_keepcase.moc"
