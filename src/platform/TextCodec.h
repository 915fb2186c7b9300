#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

/// How a file's bytes map to text. Every file gets one, so that any file,
/// binary or broken text included, comes back byte for byte on save.
enum class TextEncoding {
    Utf8,        ///< UTF-8 without a BOM (plain ASCII included), see decode()
    Utf8Bom,     ///< UTF-8 with its BOM, invalid bytes after it escaped
    Utf16LeBom,  ///< UTF-16 little endian with its BOM
    Utf16BeBom,  ///< UTF-16 big endian with its BOM
    SingleByte,  ///< windows-1252, its five unassigned bytes mapped to C1 controls
};

/// Lossless classification and conversion of file contents.
namespace TextCodec {

/// Whether text in encoding takes two bytes a character: its bytes hold NULs
/// and line-feed bytes that are no characters of their own.
inline bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LeBom || encoding == TextEncoding::Utf16BeBom;
}

struct Decoded {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

/// Picks the encoding of the bytes and decodes them; encode(decode(b)) == b for
/// every b. A UTF-8 or UTF-16 BOM names its encoding (UTF-16 that does not
/// decode falls to windows-1252). Without a BOM the bytes are UTF-8 when at
/// most one byte in them is invalid for every two valid multi-byte characters;
/// each invalid byte is kept as Utf8Sequence::escapeByte. Anything else is
/// windows-1252.
Decoded decode(const QByteArray &bytes);

/// decode() for bytes that arrive piece by piece, holding only the text and
/// one piece: a large file needs no full copy of its bytes beside its text.
/// When add() or finish() fails, the bytes are not what their first piece
/// promised: feed them all again to a decoder made with singleByte.
class PieceDecoder {
public:
    /// sizeHint: the expected number of bytes (the file's size). whole
    /// false: the text is taken piece by piece (takeText), never held whole.
    PieceDecoder(qint64 sizeHint, bool singleByte, bool whole = true);
    bool add(QByteArrayView piece);
    /// The text decoded since the last call, but for a first half of a
    /// character whose second half is still to come; nullopt when it shows
    /// the bytes are not what their first piece promised (as add() fails).
    std::optional<QString> takeText();
    /// After the last piece: what is left of the text (all of it when none
    /// was taken) and the encoding.
    std::optional<Decoded> finish();

private:
    enum class Mode { Unknown, Utf8, Utf8Bom, Utf16Le, Utf16Be, SingleByte };
    bool consume(bool last);

    QString m_text;
    QByteArray m_pending;
    qint64 m_sizeHint = 0;
    qint64 m_total = 0;
    qint64 m_multiByte = 0;  ///< valid UTF-8 sequences of two bytes or more so far
    qint64 m_invalid = 0;    ///< bytes kept escaped so far
    Mode m_mode = Mode::Unknown;
};

/// The bytes of the text in the encoding (BOM included), or nullopt when the
/// encoding cannot hold some character of the text. UTF-8 writes an escaped
/// byte as that byte; no other encoding holds one.
std::optional<QByteArray> encode(const QString &text, TextEncoding encoding);

/// One piece of a text that is encoded piece by piece: the BOM only when
/// withBom, and no surrogate pair may be split between pieces.
std::optional<QByteArray> encodePart(QStringView text, TextEncoding encoding, bool withBom);

/// Name for messages ("UTF-8", "UTF-16 LE", "windows-1252", ...).
QString encodingName(TextEncoding encoding);

}  // namespace TextCodec
