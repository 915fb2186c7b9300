#include "UnifiedDiff.h"

#include <algorithm>

namespace {

// A run of whole lines that differ: old lines [oldFirst, oldEnd) became new
// lines [newFirst, newEnd).
struct Block {
    qsizetype oldFirst, oldEnd, newFirst, newEnd;
};

// Start of every line of bytes, and one past the end.
QList<qsizetype> lineStarts(QByteArrayView bytes)
{
    QList<qsizetype> starts{0};
    for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1))
        starts.append(i + 1);
    if (starts.last() != bytes.size())
        starts.append(bytes.size());
    return starts;
}

// Counts line feeds of text up to positions asked for in increasing order.
class LineCounter {
public:
    explicit LineCounter(QStringView text) : m_text(text) {}
    qsizetype lineAt(qsizetype position)
    {
        for (; m_at < position && m_at < m_text.size(); ++m_at) {
            if (m_text[m_at] == u'\n')
                ++m_line;
        }
        return m_line;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
    qsizetype m_line = 0;
};

void appendLines(QByteArray &out, char mark, QByteArrayView bytes, const QList<qsizetype> &starts,
                 qsizetype first, qsizetype end)
{
    for (qsizetype k = first; k < end; ++k) {
        out += mark;
        out += bytes.sliced(starts[k], starts[k + 1] - starts[k]);
        if (!out.endsWith('\n'))
            out += "\n\\ No newline at end of file\n";
    }
}

// "start,count" of a hunk side as diff writes it: an empty side names the line
// before it, a count of one is left out.
QByteArray range(qsizetype first, qsizetype count)
{
    const QByteArray start = QByteArray::number(count == 0 ? first : first + 1);
    return count == 1 ? start : start + ',' + QByteArray::number(count);
}

}  // namespace

QByteArray UnifiedDiff::hunks(QByteArrayView oldBytes, QByteArrayView newBytes, QStringView oldText,
                              QStringView newText, const QList<Change> &changes, int context)
{
    const QList<qsizetype> oldStarts = lineStarts(oldBytes), newStarts = lineStarts(newBytes);
    const qsizetype oldLines = oldStarts.size() - 1, newLines = newStarts.size() - 1;
    // Each change covers the lines from the one it starts in to the one it ends
    // in; changes on one line, or on touching lines, make one block.
    QList<Block> blocks;
    LineCounter oldCounter(oldText), newCounter(newText), oldEndCounter(oldText),
        newEndCounter(newText);
    for (const Change &c : changes) {
        const qsizetype oldEndPos = c.oldPosition + c.oldLength;
        const qsizetype newEndPos = c.newPosition + c.newLength;
        Block b{oldCounter.lineAt(c.oldPosition), 0, newCounter.lineAt(c.newPosition), 0};
        // A change that ends just after a line feed still ends on the next line,
        // which it may have joined to this one.
        b.oldEnd = qMin(oldEndCounter.lineAt(oldEndPos) + 1, oldLines);
        b.newEnd = qMin(newEndCounter.lineAt(newEndPos) + 1, newLines);
        if (!blocks.isEmpty() && b.oldFirst <= blocks.last().oldEnd) {
            blocks.last().oldEnd = qMax(blocks.last().oldEnd, b.oldEnd);
            blocks.last().newEnd = qMax(blocks.last().newEnd, b.newEnd);
        } else {
            blocks.append(b);
        }
    }
    // Whole lines a block starts or ends with unchanged (a line joined to the
    // next, a replacement by the same text) are context, as diff shows them.
    auto line = [](QByteArrayView bytes, const QList<qsizetype> &starts, qsizetype k) {
        return bytes.sliced(starts[k], starts[k + 1] - starts[k]);
    };
    QList<Block> trimmed;
    for (Block b : std::as_const(blocks)) {
        while (b.oldFirst < b.oldEnd && b.newFirst < b.newEnd &&
               line(oldBytes, oldStarts, b.oldFirst) == line(newBytes, newStarts, b.newFirst)) {
            ++b.oldFirst;
            ++b.newFirst;
        }
        while (b.oldFirst < b.oldEnd && b.newFirst < b.newEnd &&
               line(oldBytes, oldStarts, b.oldEnd - 1) == line(newBytes, newStarts, b.newEnd - 1)) {
            --b.oldEnd;
            --b.newEnd;
        }
        if (b.oldFirst < b.oldEnd || b.newFirst < b.newEnd)
            trimmed.append(b);
    }
    blocks = trimmed;
    QByteArray out;
    for (qsizetype i = 0; i < blocks.size();) {
        // Blocks whose contexts meet share a hunk.
        qsizetype j = i;
        while (j + 1 < blocks.size() &&
               blocks[j + 1].oldFirst - blocks[j].oldEnd <= qsizetype(2) * context)
            ++j;
        const qsizetype before = qMin<qsizetype>(context, blocks[i].oldFirst);
        const qsizetype after = qMin<qsizetype>(context, oldLines - blocks[j].oldEnd);
        const qsizetype oldFirst = blocks[i].oldFirst - before, oldEnd = blocks[j].oldEnd + after;
        const qsizetype newFirst = blocks[i].newFirst - before, newEnd = blocks[j].newEnd + after;
        out += "@@ -" + range(oldFirst, oldEnd - oldFirst) + " +" +
               range(newFirst, newEnd - newFirst) + " @@\n";
        qsizetype oldAt = oldFirst;
        for (qsizetype k = i; k <= j; ++k) {
            const Block &b = blocks[k];
            appendLines(out, ' ', oldBytes, oldStarts, oldAt, b.oldFirst);
            appendLines(out, '-', oldBytes, oldStarts, b.oldFirst, b.oldEnd);
            appendLines(out, '+', newBytes, newStarts, b.newFirst, b.newEnd);
            oldAt = b.oldEnd;
        }
        appendLines(out, ' ', oldBytes, oldStarts, oldAt, oldEnd);
        i = j + 1;
    }
    return out;
}

QByteArray UnifiedDiff::header(const QByteArray &relativePath)
{
    // A name patch would cut at a blank, or read wrongly, goes in C quotes.
    const auto plain = [](char c) { return c > ' ' && c != '"' && c != '\\' && c != 0x7f; };
    if (std::all_of(relativePath.begin(), relativePath.end(), plain))
        return "--- a/" + relativePath + "\n+++ b/" + relativePath + '\n';
    QByteArray quoted;
    for (const char c : relativePath) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c == ' ' || plain(c) || c == '"' || c == '\\' || static_cast<unsigned char>(c) > 0x7f)
            quoted += c;
        else
            quoted +=
                '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
    }
    return "--- \"a/" + quoted + "\"\n+++ \"b/" + quoted + "\"\n";
}
