#pragma once

#include "Matcher.h"

#include <QString>

/// The normal search: the search text itself, a line break in it matching any
/// one line end.
class PlainMatcher : public Matcher {
public:
    PlainMatcher(const QString &needle, bool matchCase, bool wholeWord);

    TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const override;
    qsizetype fixedLength() const override;
    /// Whole words are told on the text as loaded, so an occurrence inside a
    /// longer word stays as it is.
    bool searchesReplacedText() const override { return false; }

private:
    QString m_needle;
    bool m_matchCase;
    bool m_wholeWord;
};
