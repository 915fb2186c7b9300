// The document buffer gives back any file byte for byte, whatever its BOM;
// a replacement changes only the bytes of its matches, in whatever encoding
// the file was read; a save in another encoding either writes text that loads
// back the same or fails and leaves the file as it was.

#include "FuzzInput.h"

#include "engine/DocumentBuffer.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Utf8Sequence.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

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
        buffer.save(path);
    } catch (const Failure &) {
        if (FileSystem::readFile(path) != before)
            fuzzFail("a refused save changed the file", TextCodec::encodingName(encoding));
        return;
    }
    const QByteArray written = FileSystem::readFile(path);
    const TextCodec::Decoded back = TextCodec::decode(written);
    const QString &text = buffer.text();
    switch (encoding) {
    case TextEncoding::SingleByte:
        // One byte per character; the bytes may well read back as UTF-8.
        if (written.size() != text.size())
            fuzzFail("single-byte save has the wrong length");
        break;
    case TextEncoding::Utf8:
        // A leading U+FEFF reads back as a BOM: same bytes, other encoding.
        // Escaped bytes go back as they came, but without the BOM that made
        // them UTF-8 the same bytes may read as another encoding.
        if (text.startsWith(QChar(0xFEFF)) || std::any_of(text.cbegin(), text.cend(), [](QChar c) {
                return Utf8Sequence::isEscapedByte(c.unicode());
            }))
            break;
        [[fallthrough]];
    default:
        if (back.text != text || back.encoding != encoding)
            fuzzFail("saved text loads back differently",
                     TextCodec::encodingName(encoding) + QStringLiteral(": ") + codeUnits(text));
    }
}

// Replaces every match of a piece of the text as the viewer does, one
// selection at a time, and saves: the file must be the old bytes with each
// match's bytes, and only those, given way to the replacement's.
void checkReplacement(DocumentBuffer &buffer, uint8_t choice, uint8_t start, uint8_t length)
{
    static const QString kReplacements[] = {QString(),
                                            QStringLiteral("x"),
                                            QStringLiteral("(c)"),
                                            QStringLiteral("\u00E9"),
                                            QStringLiteral("\u20AC"),
                                            QStringLiteral("\u4E2D"),
                                            QStringLiteral("\U0001F600"),
                                            QStringLiteral("\r\n")};
    const QString text = buffer.text();
    const TextEncoding encoding = buffer.encoding();
    const QString &with = kReplacements[choice % std::size(kReplacements)];
    // A search text as a user can type it: no surrogate without its partner.
    QString needle = text.mid(start % (text.size() + 1), length % 8 + 1);
    if (!needle.isEmpty() && needle.front().isLowSurrogate())
        needle.remove(0, 1);
    if (!needle.isEmpty() && needle.back().isHighSurrogate())
        needle.chop(1);
    if (needle.isEmpty())
        return;
    const int options = ((choice & 0x10) ? DocumentBuffer::MatchCase : 0) |
                        ((choice & 0x20) ? DocumentBuffer::WholeWord : 0);

    // Where each match stood in the original text.
    QList<std::pair<qsizetype, qsizetype>> matches;
    qsizetype shift = 0;
    for (qint32 from = 0;;) {
        const qint32 at = buffer.find(needle, from, options);
        if (at < 0)
            break;
        const qint32 n = buffer.selectionLength();
        const qsizetype original = at - shift;
        if (QStringView(text).sliced(original, n) != QStringView(buffer.text()).sliced(at, n) ||
            (text.at(original).isLowSurrogate() && original > 0 &&
             text.at(original - 1).isHighSurrogate()))
            fuzzFail("a match splits a character", codeUnits(needle));
        matches.append({original, n});
        buffer.setSelectedText(with);
        shift += with.size() - n;
        from = at + qint32(with.size());
    }
    if (matches.isEmpty())
        return;

    auto bytesBefore = [&](qsizetype position) {
        const auto bytes = TextCodec::encodePart(QStringView(text).first(position), encoding, true);
        if (!bytes)
            fuzzFail("a match ends inside a character", codeUnits(needle));
        return bytes->size();
    };
    const QByteArray original = FileSystem::readFile(fileIn("original"));
    const std::optional<QByteArray> withBytes = TextCodec::encodePart(with, encoding, false);
    QByteArray expected;
    qsizetype done = 0;
    for (const auto &[position, n] : matches) {
        const qsizetype begin = bytesBefore(position);
        expected += original.mid(done, begin - done) + withBytes.value_or(QByteArray());
        done = bytesBefore(position + n);
    }
    expected += original.mid(done);

    const QString path = fileIn("replaced");
    FileSystem::writeFileAtomic(path, original);
    try {
        buffer.save(path);
    } catch (const Failure &) {
        if (withBytes || FileSystem::readFile(path) != original)
            fuzzFail("a refused replacement changed the file or was encodable",
                     TextCodec::encodingName(encoding));
        return;
    }
    if (!withBytes || FileSystem::readFile(path) != expected)
        fuzzFail("a replacement changed bytes outside its matches",
                 TextCodec::encodingName(encoding) + QStringLiteral(": ") + codeUnits(needle) +
                     QStringLiteral("-> ") + codeUnits(with) + QStringLiteral("in ") +
                     codeUnits(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    static const QByteArray kPrefixes[] = {QByteArray(), QByteArray("\xEF\xBB\xBF"),
                                           QByteArray("\xFF\xFE"), QByteArray("\xFE\xFF")};
    const uint8_t choice = in.byte();
    const uint8_t start = in.byte(), length = in.byte();
    const QByteArray bytes = kPrefixes[choice % 4] + in.rest();

    const QString original = fileIn("original");
    const QString copy = fileIn("copy");
    FileSystem::writeFileAtomic(original, bytes);
    DocumentBuffer buffer;
    buffer.load(original);
    buffer.save(copy);
    if (FileSystem::readFile(copy) != bytes)
        fuzzFail("load then save changed the bytes", TextCodec::encodingName(buffer.encoding()));

    checkReplacement(buffer, choice >> 2, start, length);
    buffer.load(original);
    for (TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LeBom,
                           TextEncoding::Utf16BeBom, TextEncoding::SingleByte})
        checkSaveAs(buffer, e);
    return 0;
}
