#pragma once

#include <QLocale>
#include <QString>

/// What the file properties dialog shows about one file, as display texts.
struct FileProperties {
    QString fileName, fileType, location, size, dosName, created, modified, accessed;
    bool readOnly = false, archive = false, hidden = false, system = false;

    /// Gathers the facts about folder/name; dates, times and numbers in locale.
    static FileProperties gather(const QString &folder, const QString &name,
                                 const QLocale &locale = QLocale());

    /// n bytes as "1.50KB (1,536 bytes)" in locale.
    static QString sizeText(qint64 n, const QLocale &locale);
};
