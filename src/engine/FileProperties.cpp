#include "FileProperties.h"

#include "platform/FileEntries.h"
#include "platform/Paths.h"

#include <QDir>

FileProperties FileProperties::gather(const QString &folder, const QString &name,
                                      const QLocale &locale)
{
    FileProperties p;
    const FileSystem::FileDetails details =
        FileSystem::fileDetails(Paths::withTrailingSeparator(folder) + name);
    // There are no short names here: the long name stands for the MS-DOS one.
    p.dosName = name;
    const qsizetype dot = name.lastIndexOf(u'.');
    p.fileType = (dot < 0 ? name : name.mid(dot + 1)) + QStringLiteral(" file");
    // The name as it stands: rebuilding it from base name and extension would
    // double a name without a dot ("README.README").
    p.fileName = name;
    p.accessed = locale.toString(details.accessedUtc.date(), QLocale::LongFormat);
    p.created = QStringLiteral("[unknown]");
    if (details.modified.isValid())
        p.modified = locale.toString(details.modified.date(), QLocale::LongFormat) +
                     QLatin1Char(' ') +
                     locale.toString(details.modified.time(), QLocale::LongFormat);
    QString location = QDir::toNativeSeparators(folder);
    if (location.size() > 1 && location.endsWith(QDir::separator()))
        location.chop(1);
    p.location = location;
    p.size = sizeText(details.size, locale);
    p.readOnly = details.readOnly;
    p.hidden = name.startsWith(u'.');
    return p;
}

QString FileProperties::sizeText(qint64 n, const QLocale &locale)
{
    return locale.toString(double(n) / 1024.0, 'f', 2) + QStringLiteral("KB (") +
           locale.toString(n) + QStringLiteral(" bytes)");
}
