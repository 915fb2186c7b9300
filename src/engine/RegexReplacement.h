#pragma once

#include <QList>
#include <QString>
#include <QStringView>

class RegexProgram;
class RegexRun;

/// The replacement text of a regular-expression search: $0 to $99 and ${name}
/// stand for what a group matched, $$ for a dollar, \n or a line break for one
/// line end; everything else is written as it stands.
class RegexReplacement {
public:
    explicit RegexReplacement(const QString &text);

    /// The first reference to a group program does not have, as written
    /// ("$7", "${year}"), or an empty string.
    QString unknownGroup(const RegexProgram &program) const;

    /// The text for the last match of run, its groups read from text (the
    /// text matched, by position); a group that took no part gives nothing.
    QString expand(const RegexRun &run, QStringView text, QStringView lineEnd) const;

private:
    struct Piece {
        enum class Kind { Literal, Group, NamedGroup, LineBreak } kind;
        QString text;  ///< the literal, or the reference as written
        int group = 0;
    };
    void addLiteral(QChar c);

    QList<Piece> m_pieces;
};
