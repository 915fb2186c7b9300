#include "engine/RegexLiteral.h"
#include "engine/RegexMatcher.h"
#include "engine/Replacer.h"

#include <QtTest>

class TestRegexMatcher : public QObject {
    Q_OBJECT

private slots:
    void findsByTheLineRules_data();
    void findsByTheLineRules();
    void replacesLikePerl_data();
    void replacesLikePerl();
    void requiredLiteral_data();
    void requiredLiteral();
};

void TestRegexMatcher::findsByTheLineRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");
    const QString escapedByte = QString(QChar(0xDC92));  // a byte that is not UTF-8
    auto row = [](const char *name, const QString &text, const QString &pattern, int position,
                  int length, bool matchCase = true, bool whole = false, int from = 0) {
        QTest::addRow("%s", name) << text << pattern << matchCase << whole << from << position
                                  << length;
    };
    row("^ after CR LF", "a\r\nb", "^b", 3, 1);
    row("^ after a lone CR", "a\rb", "^b", 2, 1);
    row("$ before CR LF, not inside it", "ab\r\ncd", "b$", 1, 1);
    row("$ before a lone CR", "ab\rcd", "b$\\r", 1, 2);
    row("dot stops at CR", "a\rb", "a.b", -1, 0);
    row("dot stops at LF", "a\nb", "a.b", -1, 0);
    row("\\n takes CR LF whole", "a\r\nb", "a\\nb", 0, 4);
    row("\\n takes a lone CR", "a\rb", "a\\nb", 0, 3);
    row("a typed line break takes LF", "a\nb", "a\r\nb", 0, 3);
    row("\\r\\n is one line end", "a\nb", "a\\r\\nb", 0, 3);
    row("\\n in a class is CR or LF", "ab\r\ncd", "b[^\\n]*", 1, 1);
    row("\\n quoted is the letters", "a\\nb a\nb", "\\Qa\\nb\\E", 0, 4);
    row("case left to the option", "ABC", "b", -1, 0);
    row("case ignored", "ABC", "b", 1, 1, false);
    row("whole word refuses inside a word", "cats cat", "cat", 5, 3, true, true);
    row("whole word by the normal rule, beyond ASCII", "\u00e9cat cat", "cat", 5, 3, true, true);
    row("whole word goes on after a refused match", "xab ab", "a?b", 4, 2, true, true);
    row("from", "aXaX", "a.", 2, 2, true, false, 1);
    row("empty match at the start", "abc", "x*", 0, 0);
    row("a pair beyond the BMP is one character", "\U0001F600!", "^.!", 0, 3);
    row("escaped bytes are searched past", "a" + escapedByte + "b", "a.b", 0, 3);
    row("escaped bytes are no letters", escapedByte + "cat", "\\bcat", 1, 3);
}

void TestRegexMatcher::findsByTheLineRules()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, whole);
    QFETCH(int, from);
    const TextMatch match = RegexMatcher(pattern, matchCase, whole).find(text, from);
    QTEST(int(match.position), "position");
    if (match.position >= 0)
        QTEST(int(match.length), "length");
}

void TestRegexMatcher::replacesLikePerl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::addRow("numbered groups") << "2026-12-08"
                                     << "(\\d+)-(\\d+)-(\\d+)"
                                     << "$3.$2.$1"
                                     << "08.12.2026" << 1;
    QTest::addRow("named group") << "key=value"
                                 << "(?<k>\\w+)=(?<v>\\w+)"
                                 << "${v}=${k}"
                                 << "value=key" << 1;
    QTest::addRow("dollars and what is no reference") << "5"
                                                      << "\\d"
                                                      << "$$$0 $x ${ $"
                                                      << "$5 $x ${ $" << 1;
    QTest::addRow("two digits at most") << "abcdefghijk"
                                        << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)"
                                        << "$10$110"
                                        << "jk0" << 1;
    QTest::addRow("a group that took no part is empty") << "ac"
                                                        << "a(b)?c"
                                                        << "[$1]"
                                                        << "[]" << 1;
    QTest::addRow("only \\n is an escape") << "a"
                                           << "a"
                                           << "\\t\\\\"
                                           << "\\t\\\\" << 1;
    QTest::addRow("\\n is the file's own line end") << "a\r\nb\r\na"
                                                    << "^a$"
                                                    << "x\\ny"
                                                    << "x\r\ny\r\nb\r\nx\r\ny" << 2;
    QTest::addRow("a typed line break is the matched line end") << "a\rb\nc"
                                                                << "b\\n"
                                                                << "B\r\n"
                                                                << "a\rB\nc" << 1;
    QTest::addRow("empty matches advance one character") << "xab"
                                                         << "x*"
                                                         << "-"
                                                         << "--a-b-" << 4;
    QTest::addRow("non-empty after an empty match at one place") << "a"
                                                                 << "(|a)"
                                                                 << "-"
                                                                 << "---" << 3;
    QTest::addRow("matches never overlap") << "aaaa"
                                           << "aa"
                                           << "b"
                                           << "bb" << 2;
    QTest::addRow("replaced text is not searched again") << "ab"
                                                         << "a"
                                                         << "aa"
                                                         << "aab" << 1;
}

void TestRegexMatcher::replacesLikePerl()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, replace);
    const RegexMatcher matcher(pattern, true, false);
    const ReplaceResult r = replaceAll(text, matcher, replace);
    QTEST(r.text, "result");
    QTEST(int(r.replacements), "count");
}

void TestRegexMatcher::requiredLiteral_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("literal");
    QTest::addRow("plain") << "needle"
                           << "needle";
    QTest::addRow("a repeated letter ends one run and starts the next") << "ne+dle[0-9]*"
                                                                        << "edle";
    QTest::addRow("optional atoms break the run") << "abc?de*fg"
                                                  << "ab";
    QTest::addRow("lazy and counted") << "xa{2,}?yz"
                                      << "ayz";
    QTest::addRow("groups and classes are passed over") << "(a|b)cd[ef]gh"
                                                        << "cd";
    QTest::addRow("escaped punctuation is literal") << "a\\.b\\d"
                                                    << "a.b";
    QTest::addRow("none in a class-only pattern") << "\\b[a-z]{12}\\b"
                                                  << "";
    QTest::addRow("an alternation at the top gives up") << "needle|haystack"
                                                        << "";
    QTest::addRow("options inside give up") << "(?i)needle"
                                            << "";
    QTest::addRow("quoting gives up") << "\\Qa.b\\E"
                                      << "";
    QTest::addRow("escapes with arguments give up") << "ab\\x41cd"
                                                    << "";
    QTest::addRow("a brace that is no count gives up") << "ab{x"
                                                       << "";
    QTest::addRow("beyond ASCII breaks the run") << "ab\u00e9cde"
                                                 << "cde";
    QTest::addRow("line breaks break the run") << "ab\\ncde"
                                               << "cde";
}

void TestRegexMatcher::requiredLiteral()
{
    QFETCH(QString, pattern);
    QTEST(RegexLiteral::required(pattern), "literal");
}

QTEST_GUILESS_MAIN(TestRegexMatcher)
#include "tst_regexmatcher.moc"
