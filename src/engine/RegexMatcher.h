#pragma once

#include "Matcher.h"
#include "RegexReplacement.h"

#include <QRegularExpression>
#include <QString>

#include <optional>

/// The regular-expression search (PCRE2): ^ and $ at every line start and
/// end, . never on a line end, and CR LF, LF and CR each one line end; a line
/// break in the pattern (typed, or written \n) matches any one of them. Whole
/// words take a match only with a non-word character or the edge on both
/// sides, by the normal search's rule. Replacing follows perl's s///g: matches
/// are found in the original text, and an empty match right after another
/// empty one is not taken.
class RegexMatcher : public Matcher {
public:
    RegexMatcher(const QString &pattern, bool matchCase, bool wholeWord);

    /// The pattern as the user wrote it, compiled with the options the search
    /// uses: what validation reports errors from.
    static QRegularExpression asWritten(const QString &pattern, bool matchCase);

    /// The pattern with its line breaks (typed, or \n) matching any one line
    /// end; inside a character class \n stands for both CR and LF.
    static QString withLineEnds(const QString &pattern);

    TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const override;
    qsizetype fixedLength() const override { return -1; }
    bool searchesReplacedText() const override { return false; }
    bool expandsReplacement() const override { return true; }
    QString replacementFor(const QString &replacement, QStringView text, TextMatch match,
                           QStringView lineEnd) const override;

private:
    QStringView subjectOf(QStringView text) const;
    QRegularExpressionMatch matchAt(QStringView subject, qsizetype from,
                                    bool notEmptyAtStart) const;

    QRegularExpression m_expression;
    QRegularExpression m_nonEmptyAtStart;  ///< the same, refusing an empty match at the offset
    bool m_wholeWord;

    // What find() saw last: texts are scanned once for characters PCRE2
    // cannot take, and a replacement reads the groups of the last match.
    mutable const QChar *m_textData = nullptr;
    mutable qsizetype m_textSize = -1;
    mutable QString m_cleanCopy;  ///< the text with lone surrogates as U+FFFD, when it has any
    mutable qsizetype m_lastEmptyAt = -1;
    mutable QRegularExpressionMatch m_lastMatch;
    mutable std::optional<std::pair<QString, RegexReplacement>> m_replacement;
};
