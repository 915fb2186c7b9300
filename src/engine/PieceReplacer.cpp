#include "PieceReplacer.h"

#include "platform/LoadLimit.h"

namespace {
// Characters kept before the next search: the whole-word rule and the rule
// against starting inside a character look one back.
constexpr qsizetype kContext = 4;
// More than this held back only to tell whether the text changed: give up.
constexpr qsizetype kMostHeld = qsizetype(64) << 20;
}  // namespace

PieceReplacer::PieceReplacer(const Matcher &matcher, const QString &replacement, qsizetype reach,
                             bool firstOnly)
    : m_matcher(matcher),
      m_replacement(replacement),
      m_reach(reach),
      m_firstOnly(firstOnly),
      m_limit(LoadLimit::maxFileSize())
{
}

QString PieceReplacer::add(QStringView piece, bool last)
{
    if (m_firstOnly && m_first.position >= 0) {
        m_windowStart += m_window.size() + piece.size();
        m_window.clear();
        return {};
    }
    m_window.append(piece);
    replaceHeld(last);
    dropUsed();
    return std::exchange(m_out, QString());
}

void PieceReplacer::replaceHeld(bool last)
{
    const qint64 end = m_windowStart + m_window.size();
    // A match starting after this may still grow into text not yet seen.
    const qint64 sure = last ? end : end - m_reach - kContext;
    const auto held = [this](qint64 from, qint64 to) {
        return QStringView(m_window).sliced(from - m_windowStart, to - from);
    };
    while (m_consumed < end) {
        const TextMatch local = m_matcher.find(m_window, m_consumed - m_windowStart);
        const qint64 at = local.position < 0 ? -1 : m_windowStart + local.position;
        if (at < 0 || at > sure) {
            // Nothing can start before sure that this search did not find.
            const qint64 upTo = last ? end : qMin(end, qMax(m_consumed, sure + 1));
            if (!m_firstOnly)
                append(held(m_consumed, upTo), last);
            m_consumed = upTo;
            return;
        }
        if (m_first.position < 0)
            m_first = {at, local.length};
        if (m_firstOnly)
            return;
        append(held(m_consumed, at), last);
        append(m_replacement, last);
        m_consumed = at + local.length;
        ++m_replacements;
        if (changed())
            ++m_changing;
    }
}

void PieceReplacer::append(QStringView text, bool last)
{
    if (text.isEmpty())
        return;
    if (m_outSize + text.size() > m_limit)
        throw CannotStream();
    if (!m_differs) {
        // As ReplacementBuilder: the new text against the original at the same place.
        const qint64 from = m_outSize - m_windowStart;
        const qint64 held = m_window.size();
        if (from < 0 || (from + text.size() > held && !last))
            throw CannotStream();
        const bool same =
            from + text.size() <= held && (text.utf16() == QStringView(m_window).utf16() + from ||
                                           QStringView(m_window).sliced(from, text.size()) == text);
        m_differs = !same;
    }
    m_outSize += text.size();
    m_out.append(text);
}

void PieceReplacer::dropUsed()
{
    qint64 keep = qMax(m_windowStart, m_consumed - kContext);
    // Until the texts differ, the original where the new text stands is still compared.
    if (!m_differs && !m_firstOnly)
        keep = qMax(m_windowStart, qMin(keep, m_outSize));
    if (m_windowStart + m_window.size() - keep > kMostHeld + m_reach)
        throw CannotStream();
    m_window.remove(0, keep - m_windowStart);
    m_windowStart = keep;
}
