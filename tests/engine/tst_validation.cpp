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

namespace {
// Each message a refusal or question shows, written out in full.
struct Shown {
    QString text, title;
    MessageIcon icon;
    MessageButtons buttons;
};

Shown expected(const QString &key)
{
    const auto info = MessageIcon::Information;
    const QHash<QString, Shown> messages{
        {QStringLiteral("no files"),
         {QStringLiteral("Please select the files that you want to edit."),
          QStringLiteral(" No files selected"), info, MessageButtons::Ok}},
        {QStringLiteral("empty find"),
         {QStringLiteral("You must enter something to search for."), QStringLiteral(" Error"), info,
          MessageButtons::Ok}},
        {QStringLiteral("empty replacement"),
         {QStringLiteral("You have chosen to replace the string with nothing.\rThis action "
                         "cannot be undone.\r\rContinue with the Replacement operation??"),
          QStringLiteral(" Replace with nothing?"), MessageIcon::Question, MessageButtons::YesNo}},
        {QStringLiteral("same"),
         {QStringLiteral("Find and replace strings can't be the same."), QStringLiteral(" Error"),
          MessageIcon::Error, MessageButtons::Ok}},
        {QStringLiteral("first part"),
         {QStringLiteral("You must enter the First Part of the search criteria."),
          QStringLiteral(" Error"), info, MessageButtons::Ok}},
        {QStringLiteral("second part"),
         {QStringLiteral("You must enter the Second Part of the search criteria."),
          QStringLiteral(" Error"), info, MessageButtons::Ok}},
    };
    return messages.value(key);
}
}  // namespace

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
    QTest::addColumn<QString>("message");  // key of expected(), empty: none
    QTest::addColumn<QString>("panel1");   // "-": not written

    const auto yes = MessageAnswer::Yes, no = MessageAnswer::No;
    const QString none = QStringLiteral("-"), idle = QStringLiteral("Scrivlane");
    QTest::addRow("nothing selected") << false << false << "0 of 3" << false << 3 << "a" << "b"
                                      << yes << true << false << "no files" << none;
    QTest::addRow("nothing selected, subfolders wanted")
        << true << false << "0 of 0" << true << 0 << "a" << "" << yes << false << false << ""
        << none;
    QTest::addRow("ten selected is not zero") << false << false << "10 of 12" << false << 12
                                              << "a" << "b" << yes << false << false << "" << none;
    QTest::addRow("empty find") << true << false << "1 of 1" << false << 1 << "" << "" << yes
                                << true << false << "empty find" << idle;
    QTest::addRow("find never asks about empty replacement")
        << true << false << "1 of 1" << false << 1 << "a" << "" << no << false << false << ""
        << none;
    QTest::addRow("empty replacement, yes")
        << false << false << "1 of 1" << false << 1 << "a" << "" << yes << false << true
        << "empty replacement" << idle;
    QTest::addRow("empty replacement, no")
        << false << false << "1 of 1" << false << 1 << "a" << "" << no << true << false
        << "empty replacement" << idle;
    QTest::addRow("same strings") << false << false << "1 of 1" << false << 1 << "a" << "a" << yes
                                  << true << false << "same" << idle;
    QTest::addRow("same but for case is accepted")
        << false << false << "1 of 1" << false << 1 << "a" << "A" << yes << false << false << ""
        << none;
    QTest::addRow("yes skips the empty-folder check")
        << false << false << "1 of 0" << false << 0 << "a" << "" << yes << false << true
        << "empty replacement" << idle;
    QTest::addRow("empty folder") << true << false << "1 of 0" << false << 0 << "a" << "" << yes
                                  << true << false << "no files" << idle;
    QTest::addRow("fuzzy without first part") << true << true << "1 of 1" << false << 1 << "" << ""
                                              << yes << true << false << "first part" << none;
    QTest::addRow("fuzzy without second part") << true << true << "1 of 1" << false << 1 << "["
                                               << "" << yes << true << false << "second part"
                                               << none;
    QTest::addRow("fuzzy with subfolders and no files")
        << true << true << "0 of 0" << true << 0 << "[" << "]" << yes << false << false << ""
        << none;
    QTest::addRow("fuzzy empty replacement, yes")
        << false << true << "1 of 1" << false << 1 << "[" << "]" << yes << false << true
        << "empty replacement" << none;
    QTest::addRow("fuzzy empty replacement, no")
        << false << true << "1 of 1" << false << 1 << "[" << "]" << no << true << false
        << "empty replacement" << none;
    QTest::addRow("fuzzy find never asks") << true << true << "1 of 1" << false << 1 << "["
                                           << "]" << no << false << false << "" << none;
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
    QFETCH(QString, message);
    QFETCH(QString, panel1);

    FakeRunHost h;
    h.ctx.state.Tag = isFind ? QStringLiteral("Find") : QString();
    h.request.fuzzy = fuzzy;
    h.request.countCaption = count;
    h.request.subdirectories = subs;
    h.request.setFiles(QStringList(listed, QStringLiteral("f")), true);
    // Normal rows use find/replace; fuzzy rows use them as first/second part and
    // leave the fuzzy replacement empty.
    h.request.find = find;
    h.request.replace = replace;
    h.request.first = find;
    h.request.second = replace;
    h.request.fuzzyReplacement = fuzzy ? QString() : QStringLiteral("x");
    h.ctx.state.ValidationFailed = true;
    h.main.panel1 = QStringLiteral("-");
    h.dialogs.answers << answer;

    Error_Trapping(h.ctx);

    QTEST(h.ctx.state.ValidationFailed, "failed");
    QTEST(h.ctx.state.EmptyReplaceConfirmed, "confirmed");
    QCOMPARE(h.main.panel1, panel1);
    if (message.isEmpty()) {
        QVERIFY(h.dialogs.shown.isEmpty());
        return;
    }
    QCOMPARE(h.dialogs.shown.size(), 1);
    const Shown want = expected(message);
    QCOMPARE(h.dialogs.shown.first().text, want.text);
    QCOMPARE(h.dialogs.shown.first().title, want.title);
    QCOMPARE(h.dialogs.shown.first().icon, want.icon);
    QCOMPARE(h.dialogs.shown.first().buttons, want.buttons);
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
