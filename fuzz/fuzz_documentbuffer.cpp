// The document buffer gives back any file byte for byte, whatever its BOM;
// a save in another encoding either writes text that loads back the same or
// fails and leaves the file as it was.

#include "FuzzInput.h"

#include "engine/DocumentBuffer.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

const QTemporaryDir &folder()
{
    // Memory-backed where there is one: every save is flushed to disk.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/scrivlane-fuzz-XXXXXX")
                                       : QDir::tempPath() +
                                             QStringLiteral("/scrivlane-fuzz-XXXXXX"));
    if (!dir.isValid())
        fuzzFail("no temporary folder");
    return dir;
}

QString fileIn(const char *name)
{
    return folder().path() + QLatin1Char('/') + QLatin1String(name);
}

void checkSaveAs(DocumentBuffer &buffer, TextEncoding encoding)
{
    const QString path = fileIn("other");
    const QByteArray before("earlier content");
    FileSystem::writeFileAtomic(path, before);
    buffer.setEncoding(encoding);
    try {
        buffer.SaveFile(path);
    } catch (const Failure &) {
        if (FileSystem::readFile(path) != before)
            fuzzFail("a refused save changed the file", TextCodec::encodingName(encoding));
        return;
    }
    const QByteArray written = FileSystem::readFile(path);
    const TextCodec::Decoded back = TextCodec::decode(written);
    const QString &text = buffer.Text();
    switch (encoding) {
    case TextEncoding::SingleByte:
        // One byte per character; the bytes may well read back as UTF-8.
        if (written.size() != text.size())
            fuzzFail("single-byte save has the wrong length");
        break;
    case TextEncoding::Utf8:
        // A leading U+FEFF reads back as a BOM: same bytes, other encoding.
        if (text.startsWith(QChar(0xFEFF)))
            break;
        [[fallthrough]];
    default:
        if (back.text != text || back.encoding != encoding)
            fuzzFail("saved text loads back differently",
                     TextCodec::encodingName(encoding) + QStringLiteral(": ") + codeUnits(text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    static const QByteArray kPrefixes[] = {QByteArray(), QByteArray("\xEF\xBB\xBF"),
                                           QByteArray("\xFF\xFE"), QByteArray("\xFE\xFF")};
    const QByteArray bytes = kPrefixes[in.byte() % 4] + in.rest();

    const QString original = fileIn("original");
    const QString copy = fileIn("copy");
    FileSystem::writeFileAtomic(original, bytes);
    DocumentBuffer buffer;
    buffer.LoadFile(original);
    buffer.SaveFile(copy);
    if (FileSystem::readFile(copy) != bytes)
        fuzzFail("load then save changed the bytes", TextCodec::encodingName(buffer.encoding()));

    for (TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LeBom,
                           TextEncoding::Utf16BeBom, TextEncoding::SingleByte})
        checkSaveAs(buffer, e);
    return 0;
}
