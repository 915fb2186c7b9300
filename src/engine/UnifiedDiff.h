#pragma once

#include "Replacer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringView>

/// A file's replacements as a unified diff in the file's own bytes, the way
/// diff -u prints it, so that patch applied to the old file gives the new.
namespace UnifiedDiff {

using Change = TextChange;

/// The hunks (lines from "@@" on, 'context' unchanged lines around each
/// change) that turn oldBytes into newBytes. The texts are the bytes decoded
/// by an encoding in which a line feed is the byte 10 and no other character
/// holds that byte; the changes are positions in them.
QByteArray hunks(QByteArrayView oldBytes, QByteArrayView newBytes, QStringView oldText,
                 QStringView newText, const QList<Change> &changes, int context = 3);

/// "--- a/PATH" and "+++ b/PATH" for a path relative to the folder diffed.
QByteArray header(const QByteArray &relativePath);

}  // namespace UnifiedDiff
