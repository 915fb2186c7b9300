#include "engine/KeepCaseMatcher.h"
#include "engine/RegexLiteral.h"
#include "engine/RegexMatcher.h"
#include "engine/Replacer.h"

#include <QtTest>

class TestRegexMatcher : public QObject {
    Q_OBJECT

private slots:
    void findsByTheLineRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");  // 1 any case, 2 whole word
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        auto row = [](const char *name, const QString &text, const QString &pattern, int position,
                      int length, int options = 0) {
            QTest::addRow("%s", name) << text << pattern << options << position << length;
        };
        row("^ after CR LF", "a\r\nb", "^b", 3, 1);
        row("^ after a lone CR", "a\rb", "^b", 2, 1);
        row("$ before CR LF, not inside it", "ab\r\ncd", "b$", 1, 1);
        row("dot stops at CR", "a\rb", "a.b", -1, 0);
        row("\\n takes CR LF whole", "a\r\nb", "a\\nb", 0, 4);
        row("\\n takes a lone CR", "a\rb", "a\\nb", 0, 3);
        row("a typed line break takes LF", "a\nb", "a\r\nb", 0, 3);
        row("\\n in a class is CR or LF", "ab\r\ncd", "b[^\\n]*", 1, 1);
        row("\\n quoted is the letters", "a\\nb", "\\Qa\\nb\\E", 0, 4);
        row("case ignored", "ABC", "b", 1, 1, 1);
        row("whole word by the normal rule", "\u00e9cat cats cat", "cat", 10, 3, 2);
        row("whole word goes on after a refused match", "xab ab", "a?b", 4, 2, 2);
        row("a pair beyond the BMP is one character", "\U0001F600!", "^.!", 0, 3);
        row("escaped bytes are searched past", "a" + QString(QChar(0xDC92)) + "b", "a.b", 0, 3);
        row("whole word takes a longer alternative", "cats", "cat|cats", 0, 4, 2);
        row("whole word takes a later alternative", "abcd", "ab|abcd", 0, 4, 2);
        row("whole word lets a lazy match grow", "x aaa", "a+?", 2, 3, 2);
        row("whole word: a letter beyond ASCII is a word character", "\u00e9ab ab", "ab", 4, 2, 2);
        row("a comment at the end", "abcd", "(?x)abcd#note", 0, 4);
        row("a typed line break ends a comment", "abcd", "(?x)ab # note\ncd", 0, 4);
        row("a typed line break is layout in extended mode", "ab\ncd", "(?x)ab\ncd", -1, 0);
        row("extended mode ends with its group", "ab\ncd", "(?:(?x)a b)\ncd", 0, 5);
        row("a line break inside (?#...)", "ab", "a(?#x\ny)b", 0, 2);
        row("quoting left open", "xa.b", "\\Qa.b", 1, 3);
        row("a setting at the start", "\u00e9", "(*UCP)\\w", 0, 1);
    }
    void findsByTheLineRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, options);
        const TextMatch match = RegexMatcher(pattern, !(options & 1), options & 2).find(text, 0);
        QTEST(int(match.position), "position");
        if (match.position >= 0)
            QTEST(int(match.length), "length");
    }

    void replacesLikePerl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("result");
        auto row = [](const char *name, const QString &text, const QString &pattern,
                      const QString &replace, const QString &result) {
            QTest::addRow("%s", name) << text << pattern << replace << result;
        };
        row("numbered groups", "2026-12-08", "(\\d+)-(\\d+)-(\\d+)", "$3.$2.$1", "08.12.2026");
        row("named groups", "key=value", "(?<k>\\w+)=(?<v>\\w+)", "${v}=${k}", "value=key");
        row("dollars and no references", "5", "\\d", "$$$0 $x ${ $", "$5 $x ${ $");
        row("two digits at most", "abcdefghijk", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "$10$110",
            "jk0");
        row("a group that took no part", "ac", "a(b)?c", "[$1]", "[]");
        row("only \\n is an escape", "a", "a", "\\t\\\\", "\\t\\\\");
        row("\\n is the file's line end", "a\r\nb\r\na", "^a$", "x\\ny", "x\r\ny\r\nb\r\nx\r\ny");
        row("a typed line break takes the match's", "a\rb\nc", "b\\n", "B\r\n", "a\rB\nc");
        row("empty matches advance one character", "xab", "x*", "-", "--a-b-");
        row("non-empty after an empty match", "a", "(|a)", "-", "---");
        row("(*ACCEPT) ends a match", "ab", "((*ACCEPT))", "-", "-a-b-");
        row("(*ACCEPT) after a letter", "ab", "a(*ACCEPT)x", "[$0]", "[a]b");
    }
    void replacesLikePerl()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, replace);
        QTEST(replaceAll(text, RegexMatcher(pattern, true, false), replace).text, "result");
    }

    // A search the engine gives up on says so; "no match" would let a run
    // report a file as searched, or replace only part of it.
    void givesUpRatherThanMissing_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("replacing");
        const QString pattern = "(a+)+c|z";
        QTest::addRow("find") << pattern << false << false;
        QTest::addRow("find whole words") << pattern << true << false;
        QTest::addRow("replace after a match") << pattern << false << true;
    }
    void givesUpRatherThanMissing()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, wholeWord);
        QFETCH(bool, replacing);
        const QString text = "z " + QString(5000, 'a') + " z";
        const RegexMatcher matcher(pattern, true, wholeWord);
        if (replacing)
            QVERIFY_THROWS_EXCEPTION(SearchGaveUp, replaceAll(text, matcher, "y"));
        else
            QVERIFY_THROWS_EXCEPTION(SearchGaveUp, matcher.find(text, 1));
    }

    // A long search looks up between slices of its work: a stop then ends
    // it, whatever the pattern.
    void longSearchCanBeStopped_data()
    {
        QTest::addColumn<bool>("keepCase");
        QTest::addRow("regular expression") << false;
        QTest::addRow("kept case") << true;  // the wrapper hands the interruption on
    }
    void longSearchCanBeStopped()
    {
        QFETCH(bool, keepCase);
        // Each line start costs the pattern well under its limit, and the
        // whole text far more than any slice.
        QString text;
        for (int line = 0; line < 20000; ++line) text += QString(18, 'a') + "b\n";
        std::unique_ptr<Matcher> matcher = std::make_unique<RegexMatcher>("(a+)+$", true, false);
        if (keepCase)
            matcher = std::make_unique<KeepCaseMatcher>(std::move(matcher));
        int looks = 0;
        matcher->setInterruption([&looks] { return ++looks == 2; });
        QVERIFY_THROWS_EXCEPTION(SearchStopped, matcher->find(text, 0));
        QCOMPARE(looks, 2);
        // Without one it runs to its end: here, no match.
        RegexMatcher short_("(a+)+$", true, false);
        QCOMPARE(short_.find(text.first(20 * 50), 0).position, -1);
    }

    // A literal every match holds, or none: a wrong one loses files.
    void requiredLiteral_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("literal");
        auto row = [](const char *name, const QString &pattern, const QString &literal) {
            QTest::addRow("%s", name) << pattern << literal;
        };
        row("a repeated letter ends a run and starts one", "ne+dle[0-9]*", "edle");
        row("optional atoms break the run", "abc?de*fg", "ab");
        row("lazy and counted", "xa{2,}?yz", "ayz");
        row("groups and classes are passed over", "(a|b)cd[ef]gh", "cd");
        row("escaped punctuation is literal", "a\\.b\\d", "a.b");
        row("none in a class-only pattern", "\\b[a-z]{12}\\b", "");
        row("an alternation at the top gives up", "needle|haystack", "");
        row("options inside give up", "(?i)needle", "");
        row("quoting gives up", "\\Qa.b\\E", "");
        row("escapes with arguments give up", "ab\\x41cd", "");
        row("a brace that is no count gives up", "ab{x", "");
        row("beyond ASCII and line breaks break the run", "ab\u00e9cd\\nefg", "efg");
    }
    void requiredLiteral()
    {
        QFETCH(QString, pattern);
        QTEST(RegexLiteral::required(pattern), "literal");
    }
};

QTEST_GUILESS_MAIN(TestRegexMatcher)
#include "tst_regexmatcher.moc"
