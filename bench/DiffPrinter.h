#pragma once

#include "engine/PreviewResult.h"

#include <QString>

/// Prints what a preview found as a unified diff of each file's own bytes,
/// paths relative to the folder previewed, so that patch -p1 run in a copy of
/// that folder writes what Replace would.
class DiffPrinter : public PreviewSink {
public:
    explicit DiffPrinter(const QString &folder);
    void filePreviewed(const PreviewedFile &file) override;

    int fileCount() const { return m_files; }
    qint64 replacementCount() const { return m_replacements; }

private:
    QString m_folder;
    int m_files = 0;
    qint64 m_replacements = 0;
};
