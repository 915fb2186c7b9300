#include "Replacer.h"

#include "LineEnds.h"
#include "Matcher.h"
#include "ReplacementBuilder.h"
#include "ReplacementText.h"

#include <cstring>
#include <vector>

namespace {
// Rewrites text where it lies, given the positions of the matches.
void rewriteInPlace(QString &text, const std::vector<qsizetype> &positions, qsizetype keyLength,
                    QStringView replacement)
{
    const qsizetype n = text.size();
    const qsizetype grow = replacement.size() - keyLength;
    auto move = [](char16_t *to, const char16_t *from, qsizetype count) {
        // An empty replacement's data may be null; memmove must not see it.
        if (count > 0)
            std::memmove(to, from, size_t(count) * sizeof(char16_t));
    };
    if (grow <= 0) {
        char16_t *d = reinterpret_cast<char16_t *>(text.data());
        qsizetype read = 0, write = 0;
        for (const qsizetype p : positions) {
            move(d + write, d + read, p - read);
            write += p - read;
            move(d + write, replacement.utf16(), replacement.size());
            write += replacement.size();
            read = p + keyLength;
        }
        move(d + write, d + read, n - read);
        text.truncate(write + n - read);
        return;
    }
    // Growing: lengthen once, then fill from the end so nothing unread is overwritten.
    text.resize(n + grow * qsizetype(positions.size()));
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    qsizetype readEnd = n, writeEnd = text.size();
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        const qsizetype tail = readEnd - (*it + keyLength);
        writeEnd -= tail;
        move(d + writeEnd, d + *it + keyLength, tail);
        writeEnd -= replacement.size();
        move(d + writeEnd, replacement.utf16(), replacement.size());
        readEnd = *it;
    }
}
// The next match from consumed on: in the working text, the character written
// last in front of the original's rest, when the matcher searches the text as
// replaced so far.
TextMatch nextMatch(const QString &text, const Matcher &matcher, qsizetype consumed,
                    bool onReplaced, const ReplacementBuilder &builder)
{
    if (!onReplaced)
        return matcher.find(text, consumed);
    TextMatch match = matcher.find(QStringView(text).sliced(consumed), 0, builder.last());
    if (match.position >= 0)
        match.position += consumed;
    return match;
}
}  // namespace

ReplaceResult replaceAll(QString text, const Matcher &matcher, const QString &replacement,
                         const ReplaceScope &scope)
{
    // Line breaks make matches and replacements vary in length: built beside.
    const qsizetype keyLength = matcher.fixedLength();
    // A regular expression's (or a kept case's) replacement is worked out for
    // each match; its line ends only when it writes any.
    const bool expands = matcher.expandsReplacement();
    const bool inPlace =
        text.isDetached() && keyLength >= 0 && !expands && !LineEnds::hasLineBreak(replacement);
    const bool onReplaced = matcher.searchesReplacedText();
    const bool expandsLineBreaks = expands && (LineEnds::hasLineBreak(replacement) ||
                                               replacement.contains(QLatin1String("\\n")));
    std::vector<qsizetype> positions;
    ReplacementText written(replacement, text);
    ReplacementBuilder builder(text, !inPlace && scope.textWanted);
    ReplaceResult result;
    qsizetype consumed = 0;
    try {
        TextMatch match = matcher.find(text, 0);
        qsizetype growth = 0;  // new text's length minus the old's, so far
        while (match.position >= 0) {
            if (scope.accepts && !scope.accepts(match)) {
                // Left as it is: the text up to the match's end is the original's.
                builder.appendOriginal(consumed, match.position + match.length);
                consumed = match.position + match.length;
                match = nextMatch(text, matcher, consumed, onReplaced, builder);
                continue;
            }
            builder.appendOriginal(consumed, match.position);
            const QStringView matched = QStringView(text).sliced(match.position, match.length);
            QString expanded;
            if (expands) {
                const QString lineEnd = expandsLineBreaks ? written.lineEndFor(matched) : QString();
                expanded = matcher.replacementFor(replacement, text, match, lineEnd);
            }
            const QStringView writtenText =
                expands ? QStringView(expanded) : QStringView(written.forMatch(matched));
            builder.append(writtenText);
            const qsizetype writtenLength = writtenText.size();
            if (scope.changes && writtenText != matched) {
                scope.changes->append(TextChange{match.position, match.length,
                                                 match.position + growth, writtenLength});
            }
            growth += writtenLength - match.length;
            if (inPlace)
                positions.push_back(match.position);
            consumed = match.position + match.length;
            match = nextMatch(text, matcher, consumed, onReplaced, builder);
            ++result.replacements;
            if (builder.workingDiffers(consumed))
                ++result.changingReplacements;
        }
        if (result.replacements != 0)
            builder.appendOriginal(consumed, text.size());
    } catch (const ReplacementBuilder::TooLarge &) {
        result = ReplaceResult();
        result.tooLarge = true;
        result.text = std::move(text);
        return result;
    }
    if (result.replacements == 0) {
        result.text = std::move(text);
        return result;
    }
    result.changed = builder.workingDiffers(text.size());
    if (!scope.textWanted) {
        result.text = std::move(text);
        return result;
    }
    if (inPlace) {
        rewriteInPlace(text, positions, keyLength, replacement);
        result.text = std::move(text);
    } else {
        result.text = builder.take();
    }
    return result;
}
