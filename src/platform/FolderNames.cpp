#include "FolderNames.h"

#include <QCollator>

#include <algorithm>

namespace FolderNames {

QStringList sorted(const QString &folder,
                   const std::function<bool(const FileSystem::Entry &)> &keep)
{
    QStringList names;
    try {
        for (const FileSystem::Entry &entry : FileSystem::listFolder(folder)) {
            if (keep(entry))
                names << entry.name;
        }
    } catch (const std::exception &) {
        return {};  // An unreadable folder lists nothing.
    }
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), order);
    return names;
}

}  // namespace FolderNames
