// Decoding any bytes and encoding the text again gives the same bytes, also
// when the text is encoded piece by piece as a save does.

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
    return 0;
}
