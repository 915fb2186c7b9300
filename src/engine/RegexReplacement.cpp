#include "RegexReplacement.h"

#include "LineEnds.h"
#include "RegexProgram.h"

namespace {
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isNameChar(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}
}  // namespace

RegexReplacement::RegexReplacement(const QString &text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (const qsizetype lineEnd = LineEnds::lengthAt(text, i)) {
            m_pieces.append({Piece::Kind::LineBreak, {}, 0});
            i += lineEnd - 1;
            continue;
        }
        if (c == u'\\' && i + 1 < n && text[i + 1] == u'n') {
            m_pieces.append({Piece::Kind::LineBreak, {}, 0});
            ++i;
            continue;
        }
        if (c != u'$' || i + 1 == n) {
            addLiteral(c);
            continue;
        }
        const QChar next = text[i + 1];
        if (next == u'$') {
            addLiteral(next);
            ++i;
        } else if (isDigit(next)) {
            // At most two digits: "$100" is group 10 and a zero.
            const qsizetype digits = i + 2 < n && isDigit(text[i + 2]) ? 2 : 1;
            const QString number = text.sliced(i + 1, digits);
            m_pieces.append({Piece::Kind::Group, text.sliced(i, digits + 1), number.toInt()});
            i += digits;
        } else if (next == u'{') {
            qsizetype end = i + 2;
            while (end < n && isNameChar(text[end])) ++end;
            if (end == i + 2 || end == n || text[end] != u'}') {
                addLiteral(c);
                continue;
            }
            const QString name = text.sliced(i + 2, end - i - 2);
            bool numeric = false;
            const int number = name.toInt(&numeric);
            if (numeric)
                m_pieces.append({Piece::Kind::Group, text.sliced(i, end - i + 1), number});
            else
                m_pieces.append({Piece::Kind::NamedGroup, text.sliced(i, end - i + 1), 0});
            i = end;
        } else {
            addLiteral(c);
        }
    }
}

void RegexReplacement::addLiteral(QChar c)
{
    if (m_pieces.isEmpty() || m_pieces.back().kind != Piece::Kind::Literal)
        m_pieces.append({Piece::Kind::Literal, {}, 0});
    m_pieces.back().text += c;
}

QString RegexReplacement::unknownGroup(const RegexProgram &program) const
{
    const int groups = program.groupCount();
    for (const Piece &piece : m_pieces) {
        if (piece.kind == Piece::Kind::Group && piece.group > groups)
            return piece.text;
        if (piece.kind == Piece::Kind::NamedGroup &&
            program.groupsNamed(QStringView(piece.text).sliced(2).chopped(1)).isEmpty())
            return piece.text;
    }
    return QString();
}

QString RegexReplacement::expand(const RegexRun &run, QStringView text, QStringView lineEnd) const
{
    QString out;
    auto appendGroup = [&](std::pair<qsizetype, qsizetype> span) {
        if (span.first >= 0 && span.second > 0)
            out += text.sliced(span.first, span.second);
    };
    for (const Piece &piece : m_pieces) {
        switch (piece.kind) {
        case Piece::Kind::Literal:
            out += piece.text;
            break;
        case Piece::Kind::LineBreak:
            out += lineEnd;
            break;
        case Piece::Kind::Group:
            appendGroup(run.group(piece.group));
            break;
        case Piece::Kind::NamedGroup: {
            // Several groups may share a name: the one that took part.
            const QStringView name = QStringView(piece.text).sliced(2).chopped(1);
            for (const int n : run.program().groupsNamed(name)) {
                if (run.group(n).first >= 0) {
                    appendGroup(run.group(n));
                    break;
                }
            }
            break;
        }
        }
    }
    return out;
}
