// The file pattern matcher against the C library's fnmatch.

#include "FuzzInput.h"

#include "engine/RunSupport.h"

#include <fnmatch.h>

namespace {

// Brackets and backslashes are plain characters to the matcher but special
// to fnmatch, so the pattern handed to fnmatch escapes them.
constexpr char kAlphabet[] = {'a', 'b', 'A',  'B', '.', '*', '?',
                              '[', ']', '\\', '-', ' ', 'x', '!'};

QByteArray readName(FuzzInput &in, int length)
{
    QByteArray name;
    for (int i = 0; i < length && in.left() > 0; ++i)
        name += kAlphabet[in.byte() % sizeof(kAlphabet)];
    return name;
}

bool referenceMatch(const QByteArray &name, const QByteArray &pattern, bool caseless)
{
    // "*.*" and an empty pattern take every name, as the file dialogs of old did.
    if (pattern.isEmpty() || pattern == "*.*" || pattern == "*")
        return true;
    QByteArray escaped;
    for (char c : pattern) {
        if (c == '[' || c == ']' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return ::fnmatch(escaped.constData(), name.constData(), caseless ? FNM_CASEFOLD : 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const QByteArray pattern = readName(in, in.byte() % 24);
    const QByteArray name = readName(in, int(in.left()));
    // The platform decides letter case; ask the matcher which one it follows.
    static const bool caseless =
        RunSupport::matchesWildcard(QStringLiteral("a"), QStringLiteral("A"));
    const bool got =
        RunSupport::matchesWildcard(QString::fromLatin1(name), QString::fromLatin1(pattern));
    if (got != referenceMatch(name, pattern, caseless))
        fuzzFail("matchesWildcard differs from fnmatch",
                 QString::fromLatin1(name + " / " + pattern));
    return 0;
}
