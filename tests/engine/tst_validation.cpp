#include "support/FakeRunHost.h"

#include "engine/Validation.h"

#include <QtTest>

class TestValidation : public QObject {
    Q_OBJECT

private slots:
    void checksInOrder_data();
    void checksInOrder();
    void confirmedFlagIsNotClearedByValidation();
};

void TestValidation::checksInOrder_data()
{
    QTest::addColumn<bool>("isFind");
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("subs");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QString>("title");

    const auto yes = MessageAnswer::Yes, no = MessageAnswer::No;
    QTest::addRow("nothing selected") << false << false << "0 of 3" << false << 3 << "a" << "b"
                                      << yes << true << false << " No files selected";
    QTest::addRow("nothing selected, subfolders wanted")
        << true << false << "0 of 0" << true << 0 << "a" << "" << yes << false << false << "";
    QTest::addRow("ten selected is not zero")
        << false << false << "10 of 12" << false << 12 << "a" << "b" << yes << false << false << "";
    QTest::addRow("empty find") << true << false << "1 of 1" << false << 1 << "" << "" << yes
                                << true << false << " Error";
    QTest::addRow("find never asks about empty replacement")
        << true << false << "1 of 1" << false << 1 << "a" << "" << no << false << false << "";
    QTest::addRow("empty replacement, yes") << false << false << "1 of 1" << false << 1 << "a"
                                            << "" << yes << false << true << " Replace with nothing?";
    QTest::addRow("empty replacement, no") << false << false << "1 of 1" << false << 1 << "a" << ""
                                           << no << true << false << " Replace with nothing?";
    QTest::addRow("same strings") << false << false << "1 of 1" << false << 1 << "a" << "a" << yes
                                  << true << false << " Error";
    QTest::addRow("same but for case is accepted")
        << false << false << "1 of 1" << false << 1 << "a" << "A" << yes << false << false << "";
    QTest::addRow("yes skips the empty-folder check")
        << false << false << "1 of 0" << false << 0 << "a" << "" << yes << false << true
        << " Replace with nothing?";
    QTest::addRow("empty folder") << true << false << "1 of 0" << false << 0 << "a" << "" << yes
                                  << true << false << " No files selected";
    QTest::addRow("fuzzy without first part") << true << true << "1 of 1" << false << 1 << "" << ""
                                              << yes << true << false << " Error";
    QTest::addRow("fuzzy without second part") << true << true << "1 of 1" << false << 1 << "["
                                               << "" << yes << true << false << " Error";
    QTest::addRow("fuzzy with subfolders and no files")
        << true << true << "0 of 0" << true << 0 << "[" << "]" << yes << false << false << "";
}

void TestValidation::checksInOrder()
{
    QFETCH(bool, isFind);
    QFETCH(bool, fuzzy);
    QFETCH(QString, count);
    QFETCH(bool, subs);
    QFETCH(int, listed);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(MessageAnswer, answer);
    QFETCH(QString, title);

    FakeRunHost h;
    h.ctx.state.Tag = isFind ? QStringLiteral("Find") : QString();
    h.request.fuzzy = fuzzy;
    h.request.countCaption = count;
    h.request.subdirectories = subs;
    h.request.setFiles(QStringList(listed, QStringLiteral("f")), true);
    // Normal rows use find/replace; fuzzy rows use them as first/second part.
    h.request.find = find;
    h.request.replace = replace;
    h.request.first = find;
    h.request.second = replace;
    h.request.fuzzyReplacement = QStringLiteral("x");
    h.ctx.state.ValidationFailed = true;
    h.dialogs.answers << answer;

    Error_Trapping(h.ctx);

    QTEST(h.ctx.state.ValidationFailed, "failed");
    QTEST(h.ctx.state.EmptyReplaceConfirmed, "confirmed");
    QCOMPARE(h.dialogs.shown.isEmpty() ? QString() : h.dialogs.shown.first().title, title);
    QVERIFY(h.dialogs.shown.size() <= 1);
}

void TestValidation::confirmedFlagIsNotClearedByValidation()
{
    FakeRunHost h;
    h.ctx.state.EmptyReplaceConfirmed = true;
    h.request.setFiles({QStringLiteral("a")}, true);
    h.request.find = QStringLiteral("a");
    h.request.replace = QStringLiteral("b");
    Error_Trapping(h.ctx);
    QVERIFY(!h.ctx.state.ValidationFailed);
    QVERIFY(h.ctx.state.EmptyReplaceConfirmed);

    // The question's text is four lines joined by single carriage returns.
    h.request.replace.clear();
    Error_Trapping(h.ctx);
    QCOMPARE(h.dialogs.shown.last().text,
             QStringLiteral("You have chosen to replace the string with nothing.\rThis action "
                            "cannot be undone.\r\rContinue with the Replacement operation??"));
}

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
