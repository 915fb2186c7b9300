#include "DocumentBuffer.h"

#include "Matcher.h"
#include "TextSearch.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/LoadLimit.h"

DocumentBuffer::DocumentBuffer(QObject *parent) : QObject(parent) {}

namespace {
// From this size on a file is decoded as it is read, so its bytes and its
// text are never both held whole.
constexpr qint64 kPiecewiseLoad = qint64(16) << 20;

// read(piece) reads the file a piece at a time.
using PieceReader = std::function<void(const std::function<bool(QByteArrayView)> &)>;

TextCodec::Decoded decodePiecewise(const PieceReader &read, qint64 size)
{
    auto attempt = [&](bool singleByte) -> std::optional<TextCodec::Decoded> {
        TextCodec::PieceDecoder decoder(size, singleByte);
        bool fits = true;
        read([&](QByteArrayView piece) {
            fits = decoder.add(piece);
            return fits;
        });
        return fits ? decoder.finish() : std::nullopt;
    };
    if (std::optional<TextCodec::Decoded> decoded = attempt(false))
        return std::move(*decoded);
    return std::move(*attempt(true));
}
}  // namespace

void DocumentBuffer::load(const QString &path)
{
    const qint64 size = FileSystem::fileSize(path);
    LoadLimit::check(path, size);
    const PieceReader read = [&](const std::function<bool(QByteArrayView)> &piece) {
        FileSystem::readFileInPieces(path, qsizetype(1) << 20, piece);
    };
    TextCodec::Decoded decoded = size >= kPiecewiseLoad
                                     ? decodePiecewise(read, size)
                                     : TextCodec::decode(FileSystem::readFile(path));
    loadDecoded(path, std::move(decoded));
}

void DocumentBuffer::loadFrom(const FileSystem::FileAt &file)
{
    FileSystem::FileStamp stamp;
    std::optional<QByteArray> bytes = FileSystem::readFileUpTo(file, kPiecewiseLoad - 1, &stamp);
    if (bytes) {
        loadBytes(file, *bytes, stamp);
        return;
    }
    LoadLimit::check(file.path, stamp.size);
    // Decoded as it is read; the stamp of the last read is what a save compares.
    const PieceReader read = [&](const std::function<bool(QByteArrayView)> &piece) {
        FileSystem::readFileInPieces(file, qsizetype(1) << 20, piece, &stamp);
    };
    loadDecoded(file.path, decodePiecewise(read, stamp.size));
    m_source = file;
    m_stamp = stamp;
}

void DocumentBuffer::loadBytes(const FileSystem::FileAt &file, const QByteArray &bytes,
                               const FileSystem::FileStamp &stamp)
{
    loadBytes(file.path, bytes);
    m_source = file;
    m_stamp = stamp;
}

void DocumentBuffer::loadDecoded(const FileSystem::FileAt &file, qint64 size,
                                 TextCodec::Decoded &&decoded, const FileSystem::FileStamp &stamp)
{
    LoadLimit::check(file.path, size);
    loadDecoded(file.path, std::move(decoded));
    m_source = file;
    m_stamp = stamp;
}

void DocumentBuffer::loadBytes(const QString &path, const QByteArray &bytes)
{
    LoadLimit::check(path, bytes.size());
    loadDecoded(path, TextCodec::decode(bytes));
}

void DocumentBuffer::holdUnloaded(const QString &path, TextEncoding encoding,
                                  const KnownMatch &known)
{
    loadDecoded(path, TextCodec::Decoded{QString(), encoding});
    m_known = known;
}

void DocumentBuffer::loadDecoded(const QString &path, TextCodec::Decoded &&decoded)
{
    m_source = {};
    m_stamp = {};
    m_known.reset();
    m_binaryHead.reset();
    m_text = std::move(decoded.text);
    m_encoding = decoded.encoding;
    m_fileName = path;
    m_selStart = 0;
    m_selLength = 0;
    emit textReplaced();
}

FileSystem::PieceSource DocumentBuffer::encodedPieces(const QString &path, const QString &text)
{
    // Encoded a piece at a time while it is written, so a large file needs no
    // second full copy; text the encoding cannot hold aborts the save and the
    // file stays as it was.
    const qsizetype kPiece = qsizetype(1) << 20;
    const TextEncoding encoding = m_encoding;
    return [kPiece, text, path, encoding, done = qsizetype(0),
            first = true]() mutable -> QByteArray {
        if (!first && done >= text.size())
            return {};
        qsizetype n = qMin(kPiece, text.size() - done);
        if (done + n < text.size() && QChar::isHighSurrogate(text.at(done + n - 1).unicode()))
            ++n;
        const std::optional<QByteArray> bytes =
            TextCodec::encodePart(QStringView(text).sliced(done, n), encoding, first);
        if (!bytes) {
            throw Failure(QStringLiteral("Cannot save \"%1\": the text holds characters that its "
                                         "encoding, %2, cannot represent. The file was not "
                                         "changed.")
                              .arg(path, TextCodec::encodingName(encoding)));
        }
        done += n;
        first = false;
        return *bytes;
    };
}

void DocumentBuffer::save(const QString &path, FileSystem::PendingSaves *pending)
{
    const FileSystem::PieceSource next = encodedPieces(path, m_text);
    if (pending)
        FileSystem::writeFileAtomic(path, next, *pending);
    else
        FileSystem::writeFileAtomic(path, next);
}

void DocumentBuffer::saveChecked(FileSystem::PendingSaves *pending)
{
    if (!m_source.isValid())
        throw Failure(
            QStringLiteral("Cannot save \"%1\": it was not loaded from a file").arg(m_fileName));
    FileSystem::writeFileAtomic(m_source, m_stamp, encodedPieces(m_source.path, m_text), pending);
    // Saved at once: what the name now refers to is this program's own file.
    if (!pending)
        m_stamp = m_source.stamp();
}

void DocumentBuffer::setText(const QString &text)
{
    m_known.reset();
    m_binaryHead.reset();
    m_text = text;
    m_selStart = 0;
    m_selLength = 0;
    emit textReplaced();
}

qint32 DocumentBuffer::find(const QString &what, qint32 start, int options)
{
    if (what.isEmpty())
        return -1;
    if (start < 0)
        start = 0;
    if (m_known && start == 0 && what == m_known->what && options == m_known->options)
        return selectMatch(m_known->position, m_known->length);
    if (start > m_text.size())
        return -1;
    const TextSearch::Match match = TextSearch::find(
        m_text, what, start, (options & MatchCase) != 0, (options & WholeWord) != 0);
    return selectMatch(match.position, match.length);
}

qint32 DocumentBuffer::findWith(const Matcher &matcher, qint32 start)
{
    if (start < 0)
        start = 0;
    if (start > m_text.size())
        return -1;
    // Its own reference to the text: a long search lets events in, and the
    // text must not change under it.
    const QString text = m_text;
    const TextMatch match = matcher.find(text, start);
    return selectMatch(match.position, match.length);
}

qint32 DocumentBuffer::selectMatch(qsizetype position, qsizetype length)
{
    if (position < 0)
        return -1;
    m_selStart = qint32(position);
    m_selLength = qint32(length);
    emit selectionChanged();
    return qint32(position);
}

void DocumentBuffer::setSelectionStart(qint32 start)
{
    // As in a text box: moving the start collapses the selection to a caret.
    m_selStart = qBound<qint32>(0, start, qint32(m_text.size()));
    m_selLength = 0;
    emit selectionChanged();
}

void DocumentBuffer::setSelectionLength(qint32 length)
{
    m_selLength = qBound<qint32>(0, length, qint32(m_text.size()) - m_selStart);
    emit selectionChanged();
}

QString DocumentBuffer::selectedText() const
{
    return m_text.mid(m_selStart, m_selLength);
}

void DocumentBuffer::setSelectedText(const QString &text)
{
    const qint32 position = m_selStart;
    const QString removed = selectedText();
    m_known.reset();
    m_binaryHead.reset();
    m_text.replace(m_selStart, m_selLength, text);
    m_selStart += qint32(text.size());
    m_selLength = 0;
    emit stretchReplaced(position, removed, text);
    emit selectionChanged();
}
