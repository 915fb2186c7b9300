#pragma once

#include <QDateTime>
#include <QString>

/// The general date-and-time text that the start label holds; it reads back exactly.
namespace TimeStamp {
QString generalDateTime(const QDateTime &dateTime);
QDateTime parseGeneralDateTime(const QString &text);
}  // namespace TimeStamp
