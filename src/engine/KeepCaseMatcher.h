#pragma once

#include "Matcher.h"

#include <QString>
#include <QStringView>

#include <memory>

/// Any search with "Keep case": finds what the search it wraps finds, and
/// writes each replacement in the letter case of the text it replaces.
class KeepCaseMatcher : public Matcher {
public:
    explicit KeepCaseMatcher(std::unique_ptr<Matcher> search);

    /// replacement in the case of matched: all lower when matched is, all
    /// upper when matched is (two cased letters or more), its first letter
    /// upper when matched starts upper and goes on lower (or is one upper
    /// letter); otherwise as it stands. Letters without the other case (ß)
    /// count for neither.
    static QString casedLike(QStringView matched, const QString &replacement);

    TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const override;
    qsizetype fixedLength() const override { return m_search->fixedLength(); }
    bool searchesReplacedText() const override { return m_search->searchesReplacedText(); }
    /// Every match decides its replacement's case.
    bool expandsReplacement() const override { return true; }
    QString replacementFor(const QString &replacement, QStringView text, TextMatch match,
                           QStringView lineEnd) const override;
    void setInterruption(std::function<bool()> interrupted) override
    {
        m_search->setInterruption(std::move(interrupted));
    }

private:
    // Asked through this matcher, searched through the one it wraps.
    std::unique_ptr<Matcher> m_search;
};
