#pragma once

#include <QString>
#include <QStringView>

/// Line ends in search and replacement texts: a line break there stands for
/// whichever line end (CR LF, LF or CR) the file uses.
namespace LineEnds {

/// Whether text holds a CR or an LF.
bool hasLineBreak(QStringView text);

/// Length of the line end starting at pos (2 for CR LF, 1 for LF or CR), or 0.
qsizetype lengthAt(QStringView text, qsizetype pos);

/// The first line end in text, or an empty string when it has none.
QString firstIn(QStringView text);

/// The line end text uses most often (CR LF first, then LF, then CR on a tie);
/// for a text without any, the platform's: CR LF on Windows, LF elsewhere.
QString mostCommonIn(QStringView text);

/// text with each of its line breaks (CR LF, LF or CR) written as lineEnd.
QString withLineEnd(QStringView text, QStringView lineEnd);

}  // namespace LineEnds
