#include "support/FakeRunHost.h"

#include "engine/Validation.h"

#include <QtTest>

namespace {
// Each refusal or question, written out in full. Only the question has Yes and No.
enum Message { None, NoFiles, EmptyFind, EmptyReplacement, Same, FirstPart, SecondPart };
const struct {
    const char16_t *text, *title;
    MessageIcon icon;
} shownFor[] = {
    {},
    {u"Please select the files that you want to edit.", u" No files selected",
     MessageIcon::Information},
    {u"You must enter something to search for.", u" Error", MessageIcon::Information},
    {u"You have chosen to replace the string with nothing.\rThis action cannot be undone.\r\r"
     u"Continue with the Replacement operation??",
     u" Replace with nothing?", MessageIcon::Question},
    {u"Find and replace strings can't be the same.", u" Error", MessageIcon::Error},
    {u"You must enter the First Part of the search criteria.", u" Error", MessageIcon::Information},
    {u"You must enter the Second Part of the search criteria.", u" Error",
     MessageIcon::Information},
};
}  // namespace

class TestValidation : public QObject {
    Q_OBJECT

private slots:
    void checksInOrder_data();
    void checksInOrder();
    void emptyReplacementQuestionHasFourLines();
    void refusesRegexBeforeAnyFile_data();
    void refusesRegexBeforeAnyFile();
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
    QTest::addColumn<Message>("message");
    QTest::addColumn<bool>("idle");  // panel 1 shows the idle caption

    const auto yes = MessageAnswer::Yes, no = MessageAnswer::No;
    QTest::addRow("nothing selected") << false << false << "0 of 3" << false << 3 << "a"
                                      << "b" << yes << true << false << NoFiles << false;
    QTest::addRow("nothing selected, subfolders wanted")
        << true << false << "0 of 0" << true << 0 << "a"
        << "" << yes << false << false << None << false;
    QTest::addRow("ten selected is not zero") << false << false << "10 of 12" << false << 12 << "a"
                                              << "b" << yes << false << false << None << false;
    QTest::addRow("empty find") << true << false << "1 of 1" << false << 1 << ""
                                << "" << yes << true << false << EmptyFind << true;
    QTest::addRow("find never asks about empty replacement")
        << true << false << "1 of 1" << false << 1 << "a"
        << "" << no << false << false << None << false;
    QTest::addRow("empty replacement, yes")
        << false << false << "1 of 1" << false << 1 << "a"
        << "" << yes << false << true << EmptyReplacement << true;
    QTest::addRow("empty replacement, no") << false << false << "1 of 1" << false << 1 << "a"
                                           << "" << no << true << false << EmptyReplacement << true;
    QTest::addRow("same strings") << false << false << "1 of 1" << false << 1 << "a"
                                  << "a" << yes << true << false << Same << true;
    QTest::addRow("same but for case is accepted")
        << false << false << "1 of 1" << false << 1 << "a"
        << "A" << yes << false << false << None << false;
    QTest::addRow("yes skips the empty-folder check")
        << false << false << "1 of 0" << false << 0 << "a"
        << "" << yes << false << true << EmptyReplacement << true;
    QTest::addRow("empty folder") << true << false << "1 of 0" << false << 0 << "a"
                                  << "" << yes << true << false << NoFiles << true;
    QTest::addRow("fuzzy without first part") << true << true << "1 of 1" << false << 1 << ""
                                              << "" << yes << true << false << FirstPart << false;
    QTest::addRow("fuzzy without second part") << true << true << "1 of 1" << false << 1 << "["
                                               << "" << yes << true << false << SecondPart << false;
    QTest::addRow("fuzzy with subfolders and no files")
        << true << true << "0 of 0" << true << 0 << "["
        << "]" << yes << false << false << None << false;
    QTest::addRow("fuzzy empty replacement, yes")
        << false << true << "1 of 1" << false << 1 << "["
        << "]" << yes << false << true << EmptyReplacement << false;
    QTest::addRow("fuzzy empty replacement, no")
        << false << true << "1 of 1" << false << 1 << "["
        << "]" << no << true << false << EmptyReplacement << false;
    QTest::addRow("fuzzy find never asks") << true << true << "1 of 1" << false << 1 << "["
                                           << "]" << no << false << false << None << false;
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
    QFETCH(Message, message);
    QFETCH(bool, idle);

    FakeRunHost h;
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
    h.dialogs.answers << answer;

    const Verdict verdict =
        validateRequest(h.taken(), isFind ? RequestUse::Find : RequestUse::Replace);

    QTEST(verdict == Verdict::Refused, "failed");
    QTEST(verdict == Verdict::EmptyReplacementConfirmed, "confirmed");
    QCOMPARE(h.events.events, idle ? QStringList{QStringLiteral("idle")} : QStringList());
    QCOMPARE(h.dialogs.shown.size(), message == None ? 0 : 1);
    if (message == None)
        return;
    const auto &got = h.dialogs.shown.first();
    QCOMPARE(got.text, QString::fromUtf16(shownFor[message].text));
    QCOMPARE(got.title, QString::fromUtf16(shownFor[message].title));
    QCOMPARE(got.icon, shownFor[message].icon);
    QCOMPARE(got.buttons, message == EmptyReplacement ? MessageButtons::YesNo : MessageButtons::Ok);
}

void TestValidation::emptyReplacementQuestionHasFourLines()
{
    FakeRunHost h;
    h.request.setFiles({QStringLiteral("a")}, true);
    h.request.find = QStringLiteral("a");
    // The question's text is four lines joined by single carriage returns.
    QCOMPARE(validateRequest(h.taken(), RequestUse::Replace), Verdict::EmptyReplacementConfirmed);
    QCOMPARE(h.dialogs.shown.last().text,
             QStringLiteral("You have chosen to replace the string with nothing.\rThis action "
                            "cannot be undone.\r\rContinue with the Replacement operation??"));
}

void TestValidation::refusesRegexBeforeAnyFile_data()
{
    QTest::addColumn<bool>("isFind");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("message");  // empty: accepted
    auto row = [](const char *name, bool isFind, const char *find, const char *replace,
                  const QString &message = QString()) {
        QTest::addRow("%s", name) << isFind << QString(find) << QString(replace) << message;
    };
    const QString invalid = "The search text is not a valid regular expression: ";
    const QString unknown =
        "The replace text refers to %1, a group the regular expression does "
        "not have.";
    row("valid", false, "(a)(?<b>b)", "$2${b}$1$0");
    row("unclosed group", true, "ab(c", "",
        invalid + "missing closing parenthesis (at position 4).");
    row("bad quantifier", false, "*a", "x",
        invalid + "quantifier does not follow a repeatable item (at position 0).");
    row("group beyond the last", false, "(a)", "$2", unknown.arg("$2"));
    row("unknown name", false, "(?<x>a)", "${y}", unknown.arg("${y}"));
    row("find reads no replacement", true, "(a)", "$9");
    // What the search compiles, not only what was typed.
    row("a comment to the end", true, "(?x)abcd#note", "");
    row("a line end in a lookbehind", true, "(?<=a\\nb)c", "",
        "The search text cannot be searched for as a regular expression: lookbehind "
        "assertion is not fixed length.");
    row("a closing parenthesis of its own", true, "a)(b", "",
        invalid + "unmatched closing parenthesis (at position 1).");
}

void TestValidation::refusesRegexBeforeAnyFile()
{
    QFETCH(bool, isFind);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QString, message);
    FakeRunHost h;
    h.request.regex = true;
    h.request.find = find;
    h.request.replace = replace;
    h.request.setFiles({QStringLiteral("f")}, true);
    const Verdict verdict =
        validateRequest(h.taken(), isFind ? RequestUse::Find : RequestUse::Replace);
    QCOMPARE(verdict == Verdict::Refused, !message.isEmpty());
    QCOMPARE(h.dialogs.shown.size(), message.isEmpty() ? 0 : 1);
    if (message.isEmpty())
        return;
    QCOMPARE(h.dialogs.shown[0].text, message);
    QCOMPARE(h.dialogs.shown[0].title, QStringLiteral(" Error"));
    QCOMPARE(h.dialogs.shown[0].icon, MessageIcon::Error);
}

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
