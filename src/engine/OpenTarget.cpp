#include "OpenTarget.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString OpenTarget::absolutePath(const QString &path, const QString &base)
{
    QString text = path.trimmed();
    if (text.isEmpty())
        return QString();
    if (text.startsWith(QLatin1String("file:")))
        text = QUrl(text).toLocalFile();
    text = QDir::fromNativeSeparators(text);
    if (text == u'~' || text.startsWith(QLatin1String("~/")))
        text = QDir::homePath() + text.mid(1);
    if (QDir::isRelativePath(text))
        text = QDir::fromNativeSeparators(base) + QLatin1Char('/') + text;
    return QDir::toNativeSeparators(QDir::cleanPath(text));
}

OpenTarget OpenTarget::resolve(const QStringList &paths, const QString &base)
{
    OpenTarget target;
    for (const QString &given : paths) {
        const QString path = absolutePath(given, base);
        if (path.isEmpty())
            continue;
        if (target.missing.isEmpty())
            target.missing = path;
        if (!FileSystem::exists(path))
            continue;
        if (target.folder.isEmpty()) {
            if (FileSystem::isFolder(path)) {
                target.folder = path;
                break;
            }
            target.folder = QDir::toNativeSeparators(QFileInfo(path).path());
        }
        const QFileInfo info(path);
        if (QDir::toNativeSeparators(info.path()) == target.folder && !FileSystem::isFolder(path))
            target.files << info.fileName();
    }
    if (target.isValid())
        target.missing.clear();
    return target;
}
