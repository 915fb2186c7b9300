#pragma once

#include "Matcher.h"
#include "RegexProgram.h"
#include "RegexReplacement.h"

#include <QString>

#include <memory>
#include <optional>

/// The regular-expression search (PCRE2): ^ and $ at every line start and
/// end, . never on a line end, and CR LF, LF and CR each one line end; a line
/// break in the pattern (written \n, or typed outside extended mode) matches
/// any one of them. Whole words take a match only with a non-word character or the edge on both
/// sides, by the normal search's rule. Replacing follows perl's s///g: matches
/// are found in the original text, and an empty match right after another
/// empty one is not taken. A search the engine gives up on throws SearchGaveUp.
class RegexMatcher : public Matcher {
public:
    RegexMatcher(const QString &pattern, bool matchCase, bool wholeWord);

    /// The pattern the search compiles for pattern as the user wrote it: its
    /// line breaks rewritten, a pause point at its start and, for whole
    /// words, the word rule around it. Validation compiles the very same.
    static QString searchedPattern(const QString &pattern, bool wholeWord);

    /// The pattern with its line breaks (\n, or typed outside extended mode)
    /// matching any one line end; inside a character class \n stands for both
    /// CR and LF. A comment or quoting left open at its end is closed, so
    /// that what follows it in the searched pattern counts.
    static QString withLineEnds(const QString &pattern);

    /// The program the search runs, or null when it does not compile.
    const RegexProgram *program() const { return m_run ? &m_run->program() : nullptr; }

    TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const override;
    qsizetype fixedLength() const override { return -1; }
    bool searchesReplacedText() const override { return false; }
    bool expandsReplacement() const override { return true; }
    QString replacementFor(const QString &replacement, QStringView text, TextMatch match,
                           QStringView lineEnd) const override;

private:
    QStringView subjectOf(QStringView text) const;
    // One search from from, set aside and taken up again until it ends.
    RegexRun::Outcome matchFrom(QStringView subject, qsizetype from, bool notEmptyAtStart) const;

    std::unique_ptr<RegexRun> m_run;
    bool m_wholeWord;
    bool m_mayPause;  ///< false when the pattern asks where the search began (\G)

    // What find() saw last: texts are scanned once for characters PCRE2
    // cannot take, and a replacement reads the groups of the last match.
    mutable const QChar *m_textData = nullptr;
    mutable qsizetype m_textSize = -1;
    mutable QString m_cleanCopy;  ///< the text with lone surrogates as U+FFFD, when it has any
    mutable qsizetype m_lastEmptyAt = -1;
    mutable TextMatch m_lastMatch;  ///< what m_run holds the groups of
    mutable std::optional<std::pair<QString, RegexReplacement>> m_replacement;
};
