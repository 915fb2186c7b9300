#include "PreviewResult.h"

#include "LineEnds.h"
#include "Matcher.h"
#include "RunRequest.h"
#include "SearchMatcher.h"
#include "platform/Failure.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <exception>

namespace {
// Start of every line of text (after CR LF, LF or CR), and one past the end.
QList<qsizetype> lineStarts(QStringView text)
{
    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype end = LineEnds::lengthAt(text, i);
        i += end ? end : 1;
        if (end)
            starts.append(i);
    }
    starts.append(text.size() + 1);
    return starts;
}

// The index of the line that holds position.
qsizetype lineOf(const QList<qsizetype> &starts, qsizetype position)
{
    return qsizetype(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
}

// Line k of text without its line end; empty past either end.
QString lineText(QStringView text, const QList<qsizetype> &starts, qsizetype k)
{
    if (k < 0 || k + 1 >= starts.size())
        return {};
    qsizetype end = qMin(starts[k + 1], text.size());
    while (end > starts[k] && (text[end - 1] == u'\n' || text[end - 1] == u'\r')) --end;
    return text.sliced(starts[k], end - starts[k]).toString();
}

// Where the line that holds position ends, before its line end.
qsizetype lineEndFrom(QStringView text, qsizetype position)
{
    while (position < text.size() && text[position] != u'\n' && text[position] != u'\r') ++position;
    return position;
}
}  // namespace

PreviewResult::PreviewResult(std::shared_ptr<const Matcher> matcher, QString replacement)
    : m_matcher(std::move(matcher)), m_replacement(std::move(replacement))
{
}

PreviewResult PreviewResult::forRequest(const RunRequest &request)
{
    // A fuzzy search's matcher takes its parts from the request, not the keyword.
    return PreviewResult(matcherFor(request, request.findText()),
                         request.isFuzzy() ? request.fuzzyReplace() : request.replaceText());
}

void PreviewResult::filePreviewed(const PreviewedFile &file)
{
    if (file.changes.isEmpty())
        return;
    File f{file.path, file.stamp, file.changes, QList<bool>(file.changes.size(), true),
           int(file.changes.size())};
    m_tickedReplacements += f.tickedCount;
    m_total += f.tickedCount;
    ++m_tickedFiles;
    m_files.append(std::move(f));
}

void PreviewResult::setTicked(int file, int replacement, bool ticked)
{
    File &f = m_files[file];
    if (f.ticked[replacement] == ticked)
        return;
    const bool fileWasTicked = f.tickedCount > 0;
    f.ticked[replacement] = ticked;
    const int step = ticked ? 1 : -1;
    f.tickedCount += step;
    m_tickedReplacements += step;
    m_tickedFiles += int(f.tickedCount > 0) - int(fileWasTicked);
}

void PreviewResult::setFileTicked(int file, bool ticked)
{
    for (int r = 0; r < replacementCount(file); ++r) setTicked(file, r, ticked);
}

TickedReplacements PreviewResult::ticked() const
{
    TickedReplacements out;
    out.request = m_request;
    for (const File &f : m_files) {
        if (f.tickedCount == 0)
            continue;
        TickedReplacements::File t{f.path, f.stamp, {}};
        t.positions.reserve(f.tickedCount);
        for (qsizetype r = 0; r < f.changes.size(); ++r) {
            if (f.ticked[r])
                t.positions.insert(f.changes[r].oldPosition);
        }
        out.files.append(std::move(t));
    }
    return out;
}

const PreviewResult::Loaded &PreviewResult::load(int file) const
{
    if (m_loaded.file == file)
        return m_loaded;
    m_loaded = Loaded();
    m_loaded.file = file;
    try {
        TextCodec::Decoded decoded = TextCodec::decode(FileSystem::readFile(m_files[file].path));
        m_loaded.oldText = std::move(decoded.text);
        ReplaceScope scope;
        scope.changes = &m_loaded.changes;
        m_loaded.newText = replaceAll(m_loaded.oldText, *m_matcher, m_replacement, scope).text;
        // The same replacements in the same places, or the file is not what was previewed.
        m_loaded.changed = m_loaded.changes != m_files[file].changes;
        m_loaded.oldLineStarts = lineStarts(m_loaded.oldText);
    } catch (const std::exception &) {
        m_loaded.changed = true;
    }
    return m_loaded;
}

PreviewResult::Context PreviewResult::context(int file, int replacement) const
{
    const Loaded &l = load(file);
    Context c;
    if (l.changed) {
        c.changed = true;
        return c;
    }
    const TextChange &change = l.changes[replacement];
    const QStringView oldText(l.oldText);
    const qsizetype first = lineOf(l.oldLineStarts, change.oldPosition);
    const qsizetype last = lineOf(l.oldLineStarts, change.oldPosition + change.oldLength);
    const qsizetype headStart = l.oldLineStarts[first];
    const qsizetype oldEnd = change.oldPosition + change.oldLength;
    c.line = first + 1;
    c.lineBefore = lineText(oldText, l.oldLineStarts, first - 1);
    c.head = oldText.sliced(headStart, change.oldPosition - headStart).toString();
    c.oldText = oldText.sliced(change.oldPosition, change.oldLength).toString();
    c.newText = QStringView(l.newText).sliced(change.newPosition, change.newLength).toString();
    c.tail = oldText.sliced(oldEnd, lineEndFrom(oldText, oldEnd) - oldEnd).toString();
    c.lineAfter = lineText(oldText, l.oldLineStarts, last + 1);
    return c;
}
