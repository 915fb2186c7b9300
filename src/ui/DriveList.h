#pragma once

#include <QComboBox>

/// The drive list: the roots of the mounted volumes.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget *parent = nullptr);

    /// Reads the mounted volumes again.
    void refresh();
    /// The root of the volume that holds path (the longest matching root).
    QString driveOf(const QString &path) const;
    /// Shows the drive that holds path without raising a change.
    void showDriveOf(const QString &path);
    QString drive() const { return currentData().toString(); }
};
