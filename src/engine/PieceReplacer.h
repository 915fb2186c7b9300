#pragma once

#include "Matcher.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

/// replaceAll for a plain search over a text that arrives in pieces: the same
/// matches, counts and replaced text, handed on as soon as no later piece can
/// change it. A match is taken only when the text after it reaches further
/// than any match could, so none straddles a piece unseen.
class PieceReplacer {
public:
    /// The replaced text cannot be told from the pieces kept (a replacement
    /// that writes back text far behind or ahead of what is held), or it
    /// would pass the load limit: the whole text must be replaced instead.
    struct CannotStream {};

    /// reach: the most characters a match may cover. firstOnly: only the
    /// first match is looked for, and no text comes out.
    PieceReplacer(const Matcher &matcher, const QString &replacement, qsizetype reach,
                  bool firstOnly = false);

    /// Takes the next piece (last: nothing follows) and returns the replaced
    /// text that is now final; all of it after the last piece.
    QString add(QStringView piece, bool last);

    /// The first match in the whole text, position -1 for none.
    TextMatch firstMatch() const { return m_first; }
    qint32 replacements() const { return m_replacements; }
    qint32 changingReplacements() const { return m_changing; }
    /// After the last piece: whether the replaced text differs from the original.
    bool changed() const { return m_differs || m_outSize != m_consumed; }
    qint64 textLength() const { return m_windowStart + m_window.size(); }

private:
    void replaceHeld(bool last);
    void append(QStringView text, bool last);
    void dropUsed();

    const Matcher &m_matcher;
    const QString m_replacement;
    const qsizetype m_reach;
    const bool m_firstOnly;
    const qint64 m_limit;
    // The original text from m_windowStart on, as far as it has come.
    QString m_window;
    qint64 m_windowStart = 0;
    qint64 m_consumed = 0;  // original text up to here is replaced
    qint64 m_outSize = 0;   // replaced text handed on or waiting in m_out
    bool m_differs = false;
    QString m_out;
    TextMatch m_first;
    qint32 m_replacements = 0;
    qint32 m_changing = 0;
};
