#include "DocumentBuffer.h"

#include "TextSearch.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"

DocumentBuffer::DocumentBuffer(QObject *parent) : QObject(parent) {}

void DocumentBuffer::LoadFile(const QString &path)
{
    TextCodec::Decoded decoded = TextCodec::decode(FileSystem::readFile(path));
    m_text = std::move(decoded.text);
    m_encoding = decoded.encoding;
    m_fileName = path;
    m_selStart = 0;
    m_selLength = 0;
    emit textReplaced();
}

void DocumentBuffer::SaveFile(const QString &path)
{
    // Encoded a piece at a time while it is written, so a large file needs no
    // second full copy; text the encoding cannot hold aborts the save and the
    // file stays as it was.
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    const QString text = m_text;
    qsizetype done = 0;
    bool first = true;
    FileSystem::writeFileAtomic(path, [&]() -> QByteArray {
        if (!first && done >= text.size())
            return {};
        qsizetype n = qMin(kPiece, text.size() - done);
        if (done + n < text.size() && QChar::isHighSurrogate(text.at(done + n - 1).unicode()))
            ++n;
        const std::optional<QByteArray> bytes =
            TextCodec::encodePart(QStringView(text).sliced(done, n), m_encoding, first);
        if (!bytes) {
            throw Failure(QStringLiteral("Cannot save \"%1\": the text holds characters that its "
                                         "encoding, %2, cannot represent. The file was not "
                                         "changed.")
                              .arg(path, TextCodec::encodingName(m_encoding)));
        }
        done += n;
        first = false;
        return *bytes;
    });
}

void DocumentBuffer::setText(const QString &text)
{
    m_text = text;
    m_selStart = 0;
    m_selLength = 0;
    emit textReplaced();
}

qint32 DocumentBuffer::Find(const QString &what, qint32 start, int options)
{
    if (what.isEmpty())
        return -1;
    if (start < 0)
        start = 0;
    if (start > m_text.size())
        return -1;
    const TextSearch::Match match = TextSearch::find(
        m_text, what, start, (options & MatchCase) != 0, (options & WholeWord) != 0);
    if (match.position < 0)
        return -1;
    m_selStart = qint32(match.position);
    m_selLength = qint32(match.length);
    emit selectionChanged();
    return qint32(match.position);
}

void DocumentBuffer::setSelStart(qint32 start)
{
    // As in a text box: moving the start collapses the selection to a caret.
    m_selStart = qBound<qint32>(0, start, qint32(m_text.size()));
    m_selLength = 0;
    emit selectionChanged();
}

void DocumentBuffer::setSelLength(qint32 length)
{
    m_selLength = qBound<qint32>(0, length, qint32(m_text.size()) - m_selStart);
    emit selectionChanged();
}

QString DocumentBuffer::SelText() const
{
    return m_text.mid(m_selStart, m_selLength);
}

void DocumentBuffer::setSelText(const QString &text)
{
    const qint32 position = m_selStart;
    const QString removed = SelText();
    m_text.replace(m_selStart, m_selLength, text);
    m_selStart += qint32(text.size());
    m_selLength = 0;
    emit stretchReplaced(position, removed, text);
    emit selectionChanged();
}
