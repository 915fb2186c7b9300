#include "ViewerFileInfo.h"

#include "platform/FileEntries.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>

#include <cmath>

void ViewerFileInfo::fitLabels(QFrame *frame, const QList<QLabel *> &values)
{
    if (values.isEmpty())
        return;
    const QLocale locale = QLocale::system();
    const QFontMetrics metrics = values.constFirst()->fontMetrics();
    int width = values.constFirst()->width();
    // Every month, and days 22 to 28, which fall on every weekday.
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            const QString date = locale.toString(QDate(2026, month, day), QLocale::LongFormat);
            width = qMax(width, metrics.horizontalAdvance(date) + 4);
        }
    }
    int right = frame->width();
    for (QLabel *value : values) {
        value->resize(width, value->height());
        right = qMax(right, value->x() + width + 8);
    }
    frame->resize(right, frame->height());
}

void ViewerFileInfo::show(const QString &path, QLabel *date, QLabel *length)
{
    // The information is a courtesy; a file that vanished leaves the old values.
    const FileSystem::FileDetails details = FileSystem::fileDetails(path);
    if (!details.found)
        return;
    date->setText(QLocale::system().toString(details.modified.date(), QLocale::LongFormat));
    length->setText(kilobytes(details.size));
}

QString ViewerFileInfo::kilobytes(qint64 bytes)
{
    // "##.0": no digit before the point below 1 KB, one rounded decimal.
    const qint64 tenths = std::llround(double(bytes) * 10.0 / 1024.0);
    const qint64 whole = tenths / 10;
    return (whole ? QString::number(whole) : QString()) + QLocale::system().decimalPoint() +
           QString::number(tenths % 10) + QStringLiteral(" KB");
}

QString ViewerFileInfo::facts(const QString &path, ContentKind::Kind kind)
{
    const QLocale locale = QLocale::system();
    QStringList lines{QFileInfo(path).fileName()};
    const FileSystem::FileDetails details = FileSystem::fileDetails(path);
    if (details.found) {
        // Below a kilobyte the short form is the byte count itself: said once.
        const QString bytes = QStringLiteral("%1 bytes").arg(locale.toString(details.size));
        lines << (details.size < 1024 ? bytes
                                      : QStringLiteral("%1 (%2)").arg(
                                            locale.formattedDataSize(details.size), bytes));
        lines << locale.toString(details.modified, QLocale::LongFormat);
    }
    lines << (kind == ContentKind::Kind::TooLarge
                  ? QStringLiteral("Too large to show: its text is not loaded.")
                  : QStringLiteral("Binary file: its bytes are not shown."));
    return lines.join(u'\n');
}
