// Decoding any bytes and encoding the text again gives the same bytes, also
// when the text is encoded piece by piece as a save does; decoding piece by
// piece, as a large file is read, gives what decoding the whole gives.

#include "FuzzInput.h"

#include "platform/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TextCodec::Decoded decoded = TextCodec::decode(bytes);
    const std::optional<QByteArray> again = TextCodec::encode(decoded.text, decoded.encoding);
    if (!again)
        fuzzFail("decoded text cannot be encoded", TextCodec::encodingName(decoded.encoding));
    if (*again != bytes)
        fuzzFail("encode(decode(b)) != b", TextCodec::encodingName(decoded.encoding));

    // Pieces cut at points the input picks, never inside a surrogate pair.
    const QString &text = decoded.text;
    QByteArray pieces;
    qsizetype done = 0;
    bool first = true;
    size_t cut = size ? data[0] : 1;
    while (done < text.size() || first) {
        qsizetype n = qMin<qsizetype>(qsizetype(cut % 37) + 1, text.size() - done);
        if (done + n < text.size() && n > 0 && text.at(done + n - 1).isHighSurrogate())
            ++n;
        const std::optional<QByteArray> part =
            TextCodec::encodePart(QStringView(text).sliced(done, n), decoded.encoding, first);
        if (!part)
            fuzzFail("a piece cannot be encoded", codeUnits(text.mid(done, n)));
        pieces += *part;
        done += n;
        first = false;
        cut = cut * 31 + 7;
    }
    if (pieces != bytes)
        fuzzFail("piecewise encoding differs", TextCodec::encodingName(decoded.encoding));

    // A failed first reading is followed by a single-byte one, as a load does.
    std::optional<TextCodec::Decoded> read;
    for (bool singleByte : {false, true}) {
        TextCodec::PieceDecoder decoder(qint64(size), singleByte);
        bool fits = true;
        for (qsizetype at = 0; fits && at < bytes.size(); cut = cut * 31 + 7) {
            const qsizetype n = qMin<qsizetype>(qsizetype(cut % 23) + 1, bytes.size() - at);
            fits = decoder.add(QByteArrayView(bytes).sliced(at, n));
            at += n;
        }
        if (fits && (read = decoder.finish()))
            break;
        if (singleByte)
            fuzzFail("a single-byte reading failed");
    }
    if (read->text != decoded.text || read->encoding != decoded.encoding)
        fuzzFail("piecewise decoding differs", TextCodec::encodingName(read->encoding) +
                                                   QStringLiteral(" for ") +
                                                   TextCodec::encodingName(decoded.encoding));
    return 0;
}
