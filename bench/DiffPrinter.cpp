#include "DiffPrinter.h"

#include "engine/UnifiedDiff.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QDir>

#include <cstdio>

namespace {

void write(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}
}  // namespace

DiffPrinter::DiffPrinter(const QString &folder) : m_folder(Paths::withTrailingSeparator(folder)) {}

void DiffPrinter::filePreviewed(const PreviewedFile &file)
{
    if (file.changes.isEmpty())
        return;
    ++m_files;
    m_replacements += file.changes.size();
    QString relative = file.path.startsWith(m_folder) ? file.path.mid(m_folder.size()) : file.path;
    const QByteArray path = FileSystem::nativePath(QDir::fromNativeSeparators(relative));
    const std::optional<QByteArray> oldBytes =
        TextCodec::encode(file.oldText.toString(), file.encoding);
    const std::optional<QByteArray> newBytes =
        TextCodec::encode(file.newText.toString(), file.encoding);
    // UTF-16 holds the byte of a line feed inside other characters: patch
    // could not apply lines cut at it.
    if (!oldBytes || !newBytes || TextCodec::isUtf16(file.encoding)) {
        write("Binary files a/" + path + " and b/" + path + " differ\n");
        return;
    }
    write(UnifiedDiff::header(path));
    write(UnifiedDiff::hunks(*oldBytes, *newBytes, file.oldText, file.newText, file.changes));
}
