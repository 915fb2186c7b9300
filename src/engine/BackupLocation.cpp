#include "BackupLocation.h"

#include "platform/Paths.h"

QString DefaultBackupLocation::backupRoot()
{
    return Paths::applicationFolder();
}
