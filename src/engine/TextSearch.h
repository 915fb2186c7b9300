#pragma once

#include <QChar>
#include <QStringView>

/// The matching rules shared by the buffer's Find and the replacement loop.
namespace TextSearch {

/// Upper case one for one, so that positions never shift.
inline char16_t upper(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    return QChar::toUpper(c);
}

/// Letters, digits and underscore.
inline bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

/// First position >= from where needle occurs in text, or -1. Case-insensitive
/// compares both in upper case, one character for one (outside the BMP too). wholeWord demands a
/// non-word character or the edge on both sides; prevChar, when not null, stands for the character
/// before text[0] (the replacement loop searches a text whose head was rewritten).
qsizetype indexOf(QStringView text, QStringView needle, qsizetype from, bool matchCase,
                  bool wholeWord, QChar prevChar = QChar());

/// A match: where it starts and how many characters of the text it covers.
struct Match {
    qsizetype position = -1;
    qsizetype length = 0;
};

/// As indexOf, but a line break in needle (CR LF, LF or CR) matches any one
/// line end of text, so a match may be longer or shorter than needle.
Match find(QStringView text, QStringView needle, qsizetype from, bool matchCase, bool wholeWord,
           QChar prevChar = QChar());

}  // namespace TextSearch
