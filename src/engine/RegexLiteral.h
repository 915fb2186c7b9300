#pragma once

#include <QString>

/// The text a regular expression's every match must hold, for the byte
/// prefilter.
namespace RegexLiteral {

/// The longest run of ASCII characters (no line ends) that every match of
/// pattern holds as it stands, or an empty string when there is none or the
/// pattern is beyond this simple reading (an alternation at the top, options
/// set inside it, quoting, escapes with arguments).
QString required(const QString &pattern);

}  // namespace RegexLiteral
