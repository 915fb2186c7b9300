#include "KeepCaseMatcher.h"

#include "LineEnds.h"

#include <QChar>
#include <QList>

namespace {
enum class Casing { AsTyped, Lower, Upper, FirstUpper };

// Upper and title case letters alike start a capitalised word.
bool isUpperLetter(char32_t c)
{
    return (QChar::isUpper(c) || QChar::isTitleCase(c)) && QChar::toLower(c) != c;
}

bool isLowerLetter(char32_t c)
{
    return QChar::isLower(c) && QChar::toUpper(c) != c;
}

Casing casingOf(QStringView matched)
{
    int letters = 0;
    bool firstUpper = false, laterUpper = false, laterLower = false;
    for (const char32_t c : matched.toUcs4()) {
        const bool upper = isUpperLetter(c);
        if (!upper && !isLowerLetter(c))
            continue;
        if (letters++ == 0)
            firstUpper = upper;
        else
            (upper ? laterUpper : laterLower) = true;
    }
    if (letters == 0)
        return Casing::AsTyped;
    if (!firstUpper)
        return laterUpper ? Casing::AsTyped : Casing::Lower;
    if (!laterLower)
        return letters == 1 ? Casing::FirstUpper : Casing::Upper;
    return laterUpper ? Casing::AsTyped : Casing::FirstUpper;
}

// replacement with its first cased letter in title case, the rest as typed.
QString capitalised(const QString &replacement)
{
    const QList<uint> points = replacement.toUcs4();
    for (qsizetype i = 0; i < points.size(); ++i) {
        const char32_t c = points.at(i);
        if (!isUpperLetter(c) && !isLowerLetter(c))
            continue;
        QList<uint> written = points;
        written[i] = QChar::toTitleCase(c);
        return QString::fromUcs4(reinterpret_cast<const char32_t *>(written.constData()),
                                 written.size());
    }
    return replacement;
}
}  // namespace

KeepCaseMatcher::KeepCaseMatcher(std::unique_ptr<Matcher> search) : m_search(std::move(search)) {}

TextMatch KeepCaseMatcher::find(QStringView text, qsizetype from, QChar before) const
{
    return m_search->find(text, from, before);
}

QString KeepCaseMatcher::casedLike(QStringView matched, const QString &replacement)
{
    switch (casingOf(matched)) {
    case Casing::Lower:
        return replacement.toLower();
    case Casing::Upper:
        return replacement.toUpper();
    case Casing::FirstUpper:
        return capitalised(replacement);
    case Casing::AsTyped:
        break;
    }
    return replacement;
}

QString KeepCaseMatcher::replacementFor(const QString &replacement, QStringView text,
                                        TextMatch match, QStringView lineEnd) const
{
    QString written;
    if (m_search->expandsReplacement())
        written = m_search->replacementFor(replacement, text, match, lineEnd);
    else
        written = lineEnd.isEmpty() ? replacement : LineEnds::withLineEnd(replacement, lineEnd);
    return casedLike(text.sliced(match.position, match.length), written);
}
