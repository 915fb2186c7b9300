#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

class Matcher;
struct TextMatch;

/// One replacement: where it stood in the old text and where its result
/// stands in the new one (text positions, in order, not overlapping).
struct TextChange {
    qsizetype oldPosition = 0;
    qsizetype oldLength = 0;
    qsizetype newPosition = 0;
    qsizetype newLength = 0;
    bool operator==(const TextChange &) const = default;
};

/// What a replacement may leave out or tell besides its result.
struct ReplaceScope {
    /// When set, only the matches it accepts are replaced (a preview's ticked
    /// ones); the others stay as they are and are not counted.
    std::function<bool(const TextMatch &)> accepts;
    /// When set, receives every replacement that changes something (one that
    /// writes back what it found is left out), in order.
    QList<TextChange> *changes = nullptr;
    /// False when only the counts and changes are wanted: the new text is then
    /// not built and the result holds the original.
    bool textWanted = true;
};

/// What replacing every match of a text gave; nothing is written anywhere.
struct ReplaceResult {
    QString text;
    /// Matches replaced.
    qint32 replacements = 0;
    /// Of them, those after which the working text differs from the original
    /// (a step that writes back what it found changes nothing).
    qint32 changingReplacements = 0;
    /// Whether the new text differs from the original.
    bool changed = false;
    /// Nothing was replaced: the new text would be larger than a file the
    /// program may load. text is then the original.
    bool tooLarge = false;
};

/// A replacement worked out ahead, on another thread, for the text it names.
struct PreparedReplacement {
    /// The text it was worked out from, held so that it cannot change unseen:
    /// it stands for that text only while it still shares its data.
    QString source;
    ReplaceResult result;
    QList<TextChange> changes;
};

/// Works out a file's replacement from its text (a preview's, ahead of its turn).
using PrepareReplacement = std::function<PreparedReplacement(const QString &text)>;

/// Replaces every match of matcher in text by replacement, left to right,
/// without overlaps; an inserted text is never searched again. Line breaks in
/// the replacement take the line end of the match or the file (ReplacementText).
/// Linear in the text; a text nobody else holds is rewritten where it lies
/// when matches and replacement keep one length, so a large file is not held twice.
ReplaceResult replaceAll(QString text, const Matcher &matcher, const QString &replacement,
                         const ReplaceScope &scope = {});
