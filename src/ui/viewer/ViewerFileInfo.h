#pragma once

#include "platform/ContentKind.h"

#include <QList>
#include <QString>

class QFrame;
class QLabel;

/// The viewer's file information: the labels sized for the user's locale, and
/// the date and length of a file as they stand on disk.
namespace ViewerFileInfo {

/// Gives every value label room for the locale's longest long date and widens
/// frame to hold them.
void fitLabels(QFrame *frame, const QList<QLabel *> &values);

/// Shows the file's last-modified date (long date format) and its length; a
/// file that cannot be read leaves both as they are.
void show(const QString &path, QLabel *date, QLabel *length);

/// What the document shows for a file whose bytes it does not show: name,
/// size, date and why.
QString facts(const QString &path, ContentKind::Kind kind);

/// "##.0" followed by " KB": 512 bytes show as ".5 KB".
QString kilobytes(qint64 bytes);

}  // namespace ViewerFileInfo
