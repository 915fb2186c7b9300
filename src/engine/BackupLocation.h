#pragma once

#include <QString>

/// The backup root chosen in the backup-location dialog.
class BackupLocation {
public:
    virtual ~BackupLocation() = default;
    /// R: the specified folder when "Specify location" is chosen, else the application folder.
    virtual QString backupRoot() = 0;
    /// Whether "Specify location" is chosen (the report names the folder then).
    virtual bool isSpecified() = 0;
    /// The dialog's OK action: stores the choice.
    virtual void commitChoice() = 0;
};
