#pragma once

#include "Matcher.h"

#include <QString>

/// The fuzzy search: the first part (with the case and whole-word rules) up to
/// the nearest second part after it (any case, inside words too).
class FuzzyMatcher : public Matcher {
public:
    FuzzyMatcher(const QString &firstPart, const QString &secondPart, bool matchCase,
                 bool wholeWord);

    TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const override;
    qsizetype fixedLength() const override { return -1; }
    bool searchesReplacedText() const override { return true; }

private:
    QString m_first;
    QString m_second;
    bool m_matchCase;
    bool m_wholeWord;
};
