#include "HelpFile.h"

#include <QDir>
#include <QFileInfo>

namespace HelpFile {

QString locate(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("Scrivlane.html"));
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/scrivlane/Scrivlane.html")));
    for (const QString &candidate : {beside, installed}) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate);
    }
    return QDir::toNativeSeparators(beside);
}

}  // namespace HelpFile
