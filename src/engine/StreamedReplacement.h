#pragma once

#include "Matcher.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>

#include <functional>

/// A plain search's replacement in a file's bytes, read, decoded, replaced,
/// encoded and written a piece at a time: the very bytes that loading the
/// whole file, replaceAll and saving would write, with a text of a few pieces
/// in memory.
namespace StreamedReplacement {

/// The next bytes of the file, empty at its end.
using ByteSource = std::function<QByteArray()>;
/// A source reading the file from its start.
using Opener = std::function<ByteSource()>;

/// What decoding the whole file told.
struct Scan {
    TextEncoding encoding = TextEncoding::Utf8;
    /// Decoded as windows-1252 after the first reading failed.
    bool singleByte = false;
    qint64 textLength = 0;
    /// The first match in the text, position -1 for none.
    TextMatch first;
    /// The text's first characters, up to the length asked for.
    QString head;
};

/// Reads the file of size bytes through (once more when its first piece
/// promised an encoding the rest does not keep) and finds matcher's first
/// match; reach: the most characters a match covers.
Scan scan(const Opener &open, qint64 size, const Matcher &matcher, qsizetype reach,
          qsizetype headLength);

/// What the replacement did; filled once the source has given its last piece.
struct Outcome {
    qint32 replacements = 0;
    qint32 changingReplacements = 0;
    bool changed = false;
    /// The first match in the new text (a search of the replaced file finds it).
    TextMatch firstInNew;
};

/// The replaced file's bytes, a piece at a time, from the same bytes scan()
/// read. The source throws PieceReplacer::CannotStream when the whole text
/// must be replaced instead (which also covers bytes that changed since scan()).
FileSystem::PieceSource replaced(const ByteSource &source, const Scan &scan, qint64 size,
                                 const Matcher &matcher, const QString &replacement,
                                 qsizetype reach, Outcome &outcome);

}  // namespace StreamedReplacement
