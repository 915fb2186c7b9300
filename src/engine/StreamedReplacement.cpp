#include "StreamedReplacement.h"

#include "PieceReplacer.h"

#include <memory>
#include <optional>

namespace {

// A piece of a file's text as decoded, and whether it is the last.
struct DecodedPiece {
    QString text;
    bool last = false;
    TextEncoding encoding = TextEncoding::Utf8;  ///< settled with the last piece
};

// The next piece of source through decoder; nullopt when the bytes are not
// what their first piece promised.
std::optional<DecodedPiece> decodeNext(const StreamedReplacement::ByteSource &source,
                                       TextCodec::PieceDecoder &decoder)
{
    const QByteArray bytes = source();
    if (bytes.isEmpty()) {
        std::optional<TextCodec::Decoded> rest = decoder.finish();
        if (!rest)
            return std::nullopt;
        return DecodedPiece{std::move(rest->text), true, rest->encoding};
    }
    std::optional<QString> text;
    if (!decoder.add(bytes) || !(text = decoder.takeText()))
        return std::nullopt;
    return DecodedPiece{std::move(*text), false};
}

// Feeds the decoded text of every piece to take(text, last); false when the
// bytes are not what their first piece promised.
bool decodeAll(const StreamedReplacement::ByteSource &source, TextCodec::PieceDecoder &decoder,
               TextEncoding &encoding, const std::function<void(QStringView, bool)> &take)
{
    for (;;) {
        const std::optional<DecodedPiece> piece = decodeNext(source, decoder);
        if (!piece)
            return false;
        take(piece->text, piece->last);
        if (piece->last) {
            encoding = piece->encoding;
            return true;
        }
    }
}

}  // namespace

StreamedReplacement::Scan StreamedReplacement::scan(const Opener &open, qint64 size,
                                                    const Matcher &matcher, qsizetype reach,
                                                    qsizetype headLength)
{
    for (const bool singleByte : {false, true}) {
        TextCodec::PieceDecoder decoder(size, singleByte, false);
        PieceReplacer finder(matcher, QString(), reach, true);
        Scan scan;
        scan.singleByte = singleByte;
        const bool read =
            decodeAll(open(), decoder, scan.encoding, [&](QStringView text, bool last) {
                if (scan.head.size() < headLength)
                    scan.head.append(text.first(qMin(text.size(), headLength - scan.head.size())));
                finder.add(text, last);
            });
        if (read) {
            scan.textLength = finder.textLength();
            scan.first = finder.firstMatch();
            return scan;
        }
    }
    // A windows-1252 reading takes any bytes.
    Q_UNREACHABLE();
    return Scan();
}

FileSystem::PieceSource StreamedReplacement::replaced(const ByteSource &source, const Scan &scan,
                                                      qint64 size, const Matcher &matcher,
                                                      const QString &replacement, qsizetype reach,
                                                      Outcome &outcome)
{
    struct State {
        TextCodec::PieceDecoder decoder;
        PieceReplacer replacer;
        PieceReplacer newFinder;
        QString carried;  // a first half of a character whose second is still to come
        bool first = true;
        bool done = false;
    };
    auto state = std::make_shared<State>(
        State{TextCodec::PieceDecoder(size, scan.singleByte, false),
              PieceReplacer(matcher, replacement, reach),
              PieceReplacer(matcher, QString(), reach, true), QString(), true, false});
    const TextEncoding encoding = scan.encoding;
    return [state, source, encoding, &outcome]() -> QByteArray {
        State &s = *state;
        while (!s.done) {
            const std::optional<DecodedPiece> piece = decodeNext(source, s.decoder);
            if (!piece || (piece->last && piece->encoding != encoding))
                throw PieceReplacer::CannotStream();
            const bool last = piece->last;
            QString text = s.replacer.add(piece->text, last);
            s.newFinder.add(text, last);
            text.prepend(std::exchange(s.carried, QString()));
            if (!last && !text.isEmpty() && QChar::isHighSurrogate(text.back().unicode())) {
                s.carried = text.back();
                text.chop(1);
            }
            if (last) {
                s.done = true;
                outcome = {s.replacer.replacements(), s.replacer.changingReplacements(),
                           s.replacer.changed(), s.newFinder.firstMatch()};
            }
            if (text.isEmpty() && !(last && s.first))
                continue;
            std::optional<QByteArray> encoded = TextCodec::encodePart(text, encoding, s.first);
            if (!encoded)
                throw PieceReplacer::CannotStream();
            s.first = false;
            return *encoded;
        }
        return {};
    };
}
