#include "support/TempTree.h"

#include "engine/PlainMatcher.h"
#include "engine/PreviewResult.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/dialogs/PreviewModel.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

class TestPreviewDialog : public QObject {
    Q_OBJECT

private slots:
    void ticksFollowTheClicks_data();
    void ticksFollowTheClicks();
    void rowsShowTheReplacementAndOpenIt();
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

    // What is handed to Replace ticked is what the boxes show.
    QString handed;
    for (const TickedReplacements::File &f : dialog.result()->ticked().files) {
        QList<qsizetype> positions(f.positions.begin(), f.positions.end());
        std::sort(positions.begin(), positions.end());
        handed += QFileInfo(f.path).fileName() + QLatin1Char('@');
        for (qsizetype p : positions) handed += QString::number(p) + QLatin1Char(',');
    }
    QString expected;
    const QList<qsizetype> aPositions{0, 4, 8};
    const QStringList rows = checks.split(QLatin1Char(' '));
    for (int file = 0; file < 2; ++file) {
        QString positions;
        const QString boxes = rows[file].section(QLatin1Char(':'), 1);
        for (int r = 0; r < boxes.size(); ++r) {
            if (boxes[r] == u'2')
                positions += QString::number(file == 0 ? aPositions[r] : 5) + QLatin1Char(',');
        }
        if (!positions.isEmpty())
            expected +=
                (file == 0 ? QStringLiteral("a.txt@") : QStringLiteral("b.txt@")) + positions;
    }
    QCOMPARE(handed, expected);
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

QTEST_MAIN(TestPreviewDialog)
#include "tst_previewdialog.moc"
