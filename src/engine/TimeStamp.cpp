#include "TimeStamp.h"

namespace {
// Fixed, locale-free form so that the report can always read the start back,
// whatever the user's regional settings were when the run began.
const QString kFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
}  // namespace

QString TimeStamp::generalDateTime(const QDateTime &dateTime)
{
    return dateTime.toString(kFormat);
}

QDateTime TimeStamp::parseGeneralDateTime(const QString &text)
{
    return QDateTime::fromString(text, kFormat);
}
