#pragma once

#include "platform/Failure.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <functional>

/// Where a match starts and how many characters of the text it covers.
struct TextMatch {
    qsizetype position = -1;
    qsizetype length = 0;
};

/// A search from the start of a text for its first match, for a read-ahead's
/// workers to run on each text they decode.
using FirstMatchSearch = std::function<TextMatch(QStringView)>;

/// Thrown by a search that cannot tell whether or where a text matches: the
/// regular-expression engine gave up on it (its match or depth limit, or
/// memory). The file searched is a failure of the run, never one without matches.
class SearchGaveUp : public Failure {
public:
    using Failure::Failure;
};

/// Thrown by a search that its interruption stopped.
class SearchStopped : public std::exception {};

/// One search type: finds the next match in a text, with its case and
/// whole-word rules inside. A new search type is one more implementation.
class Matcher {
public:
    virtual ~Matcher() = default;

    /// The first match at or after from, or position -1. before, when not null,
    /// stands for the character in front of text[0] (a text whose head was rewritten).
    virtual TextMatch find(QStringView text, qsizetype from, QChar before = QChar()) const = 0;

    /// The length of every match, or -1 when matches vary in length; only then
    /// may a replacement rewrite a text where it lies.
    virtual qsizetype fixedLength() const = 0;

    /// Whether a replacement goes on searching in the text as replaced so far
    /// (the character written last is the one in front of the rest), rather
    /// than in the original text.
    virtual bool searchesReplacedText() const = 0;

    /// Whether a replacement refers to what each match holds (groups of a
    /// regular expression); then replacementFor() gives each match its text.
    virtual bool expandsReplacement() const { return false; }

    /// The text that replaces match, found last in text by find(), with the
    /// line breaks of the replacement written as lineEnd.
    virtual QString replacementFor(const QString &replacement, QStringView text, TextMatch match,
                                   QStringView lineEnd) const
    {
        Q_UNUSED(text);
        Q_UNUSED(match);
        Q_UNUSED(lineEnd);
        return replacement;
    }

    /// Called between slices of a long search, so that the caller can answer
    /// its events; true ends the search with SearchStopped. Without it a
    /// search runs to its end.
    virtual void setInterruption(std::function<bool()> interrupted)
    {
        m_interrupted = std::move(interrupted);
    }

protected:
    const std::function<bool()> &interruption() const { return m_interrupted; }

private:
    std::function<bool()> m_interrupted;
};
