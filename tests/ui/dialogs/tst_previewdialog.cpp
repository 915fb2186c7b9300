#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/PlainMatcher.h"
#include "engine/PreviewResult.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/dialogs/PreviewModel.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>

#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

class TestPreviewDialog : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void ticksFollowTheClicks_data();
    void ticksFollowTheClicks();
    void rowsShowTheReplacementAndOpenIt();
    void replaceTickedWritesExactlyTheTicked_data();
    void replaceTickedWritesExactlyTheTicked();
    void restoreGivesBackTheBytes_data();
    void restoreGivesBackTheBytes();

private:
    /// The main window on t's folder "files" holding files, all of them selected,
    /// "cat" to be replaced by "dog".
    MainWindow &startOn(const TempTree &t, const QMap<QString, QByteArray> &files);
    void runTool(const QString &key) { m_window->tool(QStringLiteral("runBar"), key)->trigger(); }

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

namespace {
// A preview of two files as a run makes it: "a.txt" with three "cat", "b.txt" with one.
std::unique_ptr<PreviewResult> previewOf(const TempTree &t)
{
    auto matcher = std::make_shared<PlainMatcher>(QStringLiteral("cat"), true, false);
    auto result = std::make_unique<PreviewResult>(matcher, QStringLiteral("dog"));
    const QList<std::pair<QString, QByteArray>> files{{QStringLiteral("a.txt"), "cat\ncat cat\n"},
                                                      {QStringLiteral("b.txt"), "one <cat>\n"}};
    for (const auto &[name, bytes] : files) {
        const QString path = t.write(name, bytes);
        const QString text = QString::fromUtf8(bytes);
        QList<TextChange> changes;
        const QString newText =
            replaceAll(text, *matcher, QStringLiteral("dog"), {{}, &changes}).text;
        result->filePreviewed({path, {}, TextEncoding::Utf8, text, newText, changes});
    }
    return result;
}

// Every file under folder by its relative path, with its bytes.
QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            tree.insert(QDir(folder).relativeFilePath(file.fileName()), file.readAll());
    }
    return tree;
}

QString report()
{
    QFile file(QDir(Paths::applicationFolder()).filePath(QStringLiteral("Report.dat")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString checks(const PreviewModel &model)
{
    QString out;
    for (int file = 0; file < model.rowCount(); ++file) {
        const QModelIndex f = model.index(file, 0);
        out += QString::number(f.data(Qt::CheckStateRole).toInt()) + QLatin1Char(':');
        for (int r = 0; r < model.rowCount(f); ++r)
            out += QString::number(model.index(r, 0, f).data(Qt::CheckStateRole).toInt());
        out += QLatin1Char(' ');
    }
    return out.trimmed();
}
}  // namespace

void TestPreviewDialog::ticksFollowTheClicks_data()
{
    QTest::addColumn<QStringList>("clicks");  // "file" or "file/replacement", each toggled
    QTest::addColumn<QString>("checks");      // 2 ticked, 1 partly, 0 not, per file: its rows
    QTest::addColumn<QString>("label");
    QTest::addRow("as previewed") << QStringList() << "2:222 2:2"
                                  << "2 files, 4 replacements ticked";
    QTest::addRow("one replacement") << QStringList{"0/1"} << "1:202 2:2"
                                     << "2 files, 3 replacements ticked";
    QTest::addRow("a whole file") << QStringList{"1"} << "2:222 0:0"
                                  << "1 file, 3 replacements ticked";
    QTest::addRow("the last of a file") << QStringList{"1/0"} << "2:222 0:0"
                                        << "1 file, 3 replacements ticked";
    QTest::addRow("partly ticked file ticked whole")
        << QStringList{"0/0", "0/2", "0"} << "2:222 2:2"
        << "2 files, 4 replacements ticked";
    QTest::addRow("everything off") << QStringList{"0", "1"} << "0:000 0:0"
                                    << "0 files, 0 replacements ticked";
}

void TestPreviewDialog::ticksFollowTheClicks()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, checks);
    QFETCH(QString, label);
    TempTree t;
    PreviewDialog dialog;
    dialog.setResult(previewOf(t));
    dialog.show();
    PreviewModel &model = *dialog.model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (const QString &click : clicks) {
        const QStringList at = click.split(QLatin1Char('/'));
        QModelIndex index = model.index(at[0].toInt(), 0);
        if (at.size() > 1)
            index = model.index(at[1].toInt(), 0, index);
        // As the view's check box does: a partly ticked file becomes ticked.
        const bool on = index.data(Qt::CheckStateRole).toInt() != Qt::Checked;
        QVERIFY(model.setData(index, on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
    }
    QCOMPARE(::checks(model), checks);
    QCOMPARE(dialog.tickedLabel->text(), label);
    QCOMPARE(dialog.replaceTickedButton->isEnabled(), !label.startsWith(u'0'));
    // Each click repaints its row and the rows its tick shows in.
    QCOMPARE(changed.size(), 2 * clicks.size());
}

void TestPreviewDialog::rowsShowTheReplacementAndOpenIt()
{
    TempTree t;
    PreviewDialog dialog;
    dialog.setResult(previewOf(t));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" Preview"));
    const PreviewModel &model = *dialog.model();
    const QModelIndex b = model.index(1, 0);
    const QModelIndex bCat = model.index(0, 0, b);
    QCOMPARE(b.data().toString(),
             t.path(QStringLiteral("b.txt")) + QStringLiteral(" — 1 replacement"));
    QCOMPARE(bCat.data().toString(), QStringLiteral("line 1: one <cat → dog>"));
    // Escaped, struck and marked.
    const QString html = bCat.data(PreviewModel::HtmlRole).toString();
    QVERIFY2(html.contains(QStringLiteral("one&nbsp;&lt;<s")) &&
                 html.contains(QStringLiteral(">cat</s><span")) &&
                 html.contains(QStringLiteral(">dog</span>&gt;")),
             qPrintable(html));

    QSignalSpy opened(&dialog, &PreviewDialog::openRequested);
    QTreeView &tree = *dialog.replacementTree;
    const QModelIndex aThird = model.index(2, 0, model.index(0, 0));
    tree.scrollTo(aThird);
    const QPoint at = tree.visualRect(aThird).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0][0].toString(), t.path(QStringLiteral("a.txt")));
    QCOMPARE(opened[0][1].value<qsizetype>(), 8);

    // Changed on disk since: the rows say so, and the file row once it is known.
    t.write(QStringLiteral("b.txt"), "one <cow>\n");
    QVERIFY(bCat.data(PreviewModel::ChangedRole).toBool());
    QVERIFY(bCat.data().toString().contains(QStringLiteral("changed since the preview")));
    QTRY_VERIFY(b.data().toString().contains(QStringLiteral("changed since the preview")));
}

MainWindow &TestPreviewDialog::startOn(const TempTree &t, const QMap<QString, QByteArray> &files)
{
    SettingsStore::setStoreFileForTesting(t.path(QStringLiteral("settings.ini")));
    for (auto it = files.begin(); it != files.end(); ++it)
        t.write(QStringLiteral("files/") + it.key(), it.value());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_window = std::make_unique<MainWindow>(m_dialogs.get());
    MainWindow &w = *m_window;
    w.startUp();
    w.folderList->setPath(QDir::toNativeSeparators(t.path(QStringLiteral("files"))));
    w.fileList->refresh();
    w.filterBox->setCurrentIndex(1);
    w.fileList->selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));
    return w;
}

void TestPreviewDialog::replaceTickedWritesExactlyTheTicked_data()
{
    QTest::addColumn<QStringList>("unticks");  // "file" or "file/replacement"
    QTest::addColumn<QString>("editedAfter");  // a file written between Preview and Replace
    QTest::addColumn<QString>("expected");     // a | b | c as written
    QTest::addRow("all ticked") << QStringList() << ""
                                << "dog\r\ndog dog\n|a dog\n|dog";
    QTest::addRow("a file and a replacement unticked") << QStringList{"b.txt", "a.txt/1"} << ""
                                                       << "dog\r\ncat dog\n|a cat\n|dog";
    QTest::addRow("a file changed after the preview") << QStringList{"a.txt/0"} << "c.txt"
                                                      << "cat\r\ndog dog\n|a dog\n|cat, edited";
}

void TestPreviewDialog::replaceTickedWritesExactlyTheTicked()
{
    QFETCH(QStringList, unticks);
    QFETCH(QString, editedAfter);
    QFETCH(QString, expected);
    TempTree t;
    MainWindow &w = startOn(t, {{QStringLiteral("a.txt"), "cat\r\ncat cat\n"},
                                {QStringLiteral("b.txt"), "a cat\n"},
                                {QStringLiteral("c.txt"), "cat"}});
    runTool(QStringLiteral("preview"));
    auto *dialog = w.findChild<PreviewDialog *>(QStringLiteral("previewDialog"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->tickedLabel->text(), QStringLiteral("3 files, 5 replacements ticked"));
    QVERIFY(treeOf(t.path(QStringLiteral("files"))).value(QStringLiteral("a.txt")).contains("cat"));

    PreviewModel &model = *dialog->model();
    for (const QString &untick : unticks) {
        const QStringList at = untick.split(QLatin1Char('/'));
        const QModelIndexList files =
            model.match(model.index(0, 0), PreviewModel::PathRole,
                        t.path(QStringLiteral("files/") + at[0]), 1, Qt::MatchExactly);
        QCOMPARE(files.size(), 1);
        const QModelIndex index =
            at.size() > 1 ? model.index(at[1].toInt(), 0, files[0]) : files[0];
        QVERIFY(model.setData(index, Qt::Unchecked, Qt::CheckStateRole));
    }
    if (!editedAfter.isEmpty())
        t.write(QStringLiteral("files/") + editedAfter, "cat, edited");
    QTest::mouseClick(dialog->replaceTickedButton, Qt::LeftButton);

    const QMap<QString, QByteArray> tree = treeOf(t.path(QStringLiteral("files")));
    QCOMPARE(QString::fromUtf8(tree.value(QStringLiteral("a.txt")) + '|' +
                               tree.value(QStringLiteral("b.txt")) + '|' +
                               tree.value(QStringLiteral("c.txt"))),
             expected);
    QCOMPARE(w.tool(QStringLiteral("runBar"), QStringLiteral("replace"))->text(),
             QStringLiteral("Replace"));
    // The report names a file passed over, under its own heading.
    const QString passedOver = report().section(QStringLiteral("PASSED OVER:"), 1);
    QCOMPARE(passedOver.contains(QStringLiteral("c.txt")), !editedAfter.isEmpty());
}

void TestPreviewDialog::restoreGivesBackTheBytes_data()
{
    QTest::addColumn<QString>("editedAfter");  // a file written between Replace and Restore
    QTest::addColumn<bool>("backup");          // Create Backup ticked for the Replace
    QTest::addRow("untouched") << "" << true;
    QTest::addRow("untouched, no backups") << "" << false;
    QTest::addRow("one file edited after the Replace") << "sub/b.txt" << false;
}

void TestPreviewDialog::restoreGivesBackTheBytes()
{
    QFETCH(QString, editedAfter);
    QFETCH(bool, backup);
    TempTree t;
    const QMap<QString, QByteArray> original{{QStringLiteral("a.txt"), "caf\xc3\xa9 cat\r\n\x92"},
                                             {QStringLiteral("sub/b.txt"), "cat\rcat\r"},
                                             {QStringLiteral("c.txt"), "no match\n"}};
    MainWindow &w = startOn(t, original);
    w.subfoldersBox->setChecked(true);
    w.backupBox->setChecked(backup);
    runTool(QStringLiteral("replace"));
    const QString files = t.path(QStringLiteral("files"));
    QCOMPARE(treeOf(files).value(QStringLiteral("sub/b.txt")), QByteArray("dog\rdog\r"));
    QMap<QString, QByteArray> expected = original;
    if (!editedAfter.isEmpty()) {
        t.write(QStringLiteral("files/") + editedAfter, "edited");
        expected[editedAfter] = "edited";
    }

    runTool(QStringLiteral("restore"));
    QCOMPARE(treeOf(files), expected);
    QCOMPARE(w.tool(QStringLiteral("runBar"), QStringLiteral("restore"))->text(),
             QStringLiteral("Restore"));
    QVERIFY(report().contains(QStringLiteral("Restored From Backups")));
    QCOMPARE(report().section(QStringLiteral("PASSED OVER:"), 1).contains(QStringLiteral("b.txt")),
             !editedAfter.isEmpty());
    // The run went with the restore, and it was the only one.
    runTool(QStringLiteral("restore"));
    QCOMPARE(m_dialogs->shown.last().text, QStringLiteral("There is no Replace to restore."));
}

void TestPreviewDialog::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_dialogs.reset();
    SettingsStore::setStoreFileForTesting(QString());
}

QTEST_MAIN(TestPreviewDialog)
#include "tst_previewdialog.moc"
