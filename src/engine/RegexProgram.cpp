#include "RegexProgram.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QMutex>

#include <chrono>

namespace {
// How much work one match attempt may do before the engine gives up on it.
// PCRE2's own default: ordinary patterns never come near it, and a pattern
// that does takes a fraction of a second to reach it.
constexpr uint32_t kMatchLimit = 10'000'000;
// Memory for the engine's backtracking, in KiB, and the machine code's stack.
constexpr PCRE2_SIZE kHeapLimit = PCRE2_SIZE{512} * 1024;
constexpr PCRE2_SIZE kJitStackStart = PCRE2_SIZE{32} * 1024;
constexpr PCRE2_SIZE kJitStackMax = PCRE2_SIZE{16} * 1024 * 1024;
// The callout number of a pause point.
constexpr uint32_t kPauseCallout = 255;

// How long a search works before it sets itself aside, and how often it
// looks at the clock while it does (it learns how many attempts that is).
constexpr std::chrono::milliseconds kSlice{40};
constexpr std::chrono::microseconds kLookEvery{500};
constexpr uint32_t kMostAttemptsBetweenLooks = 4096;

QString errorText(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (length < 0)
        return QStringLiteral("error %1").arg(code);
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), length);
}

PCRE2_SPTR units(QStringView text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.utf16());
}
}  // namespace

struct RegexProgram::Code {
    pcre2_code *code = nullptr;
    ~Code() { pcre2_code_free(code); }
};

RegexProgram::RegexProgram(QString pattern, bool matchCase, std::unique_ptr<Code> code)
    : m_pattern(std::move(pattern)), m_matchCase(matchCase), m_code(std::move(code))
{
}

RegexProgram::~RegexProgram() = default;

std::shared_ptr<const RegexProgram> RegexProgram::compile(const QString &pattern, bool matchCase,
                                                          Error *error)
{
    static QMutex mutex;
    static std::shared_ptr<const RegexProgram> last;
    const QMutexLocker lock(&mutex);
    if (last && last->m_pattern == pattern && last->m_matchCase == matchCase)
        return last;

    pcre2_compile_context *context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_bsr(context, PCRE2_BSR_ANYCRLF);
    uint32_t options = PCRE2_UTF | PCRE2_MULTILINE;
    if (!matchCase)
        options |= PCRE2_CASELESS;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    auto code = std::make_unique<Code>();
    code->code = pcre2_compile(units(pattern), PCRE2_SIZE(pattern.size()), options, &errorCode,
                               &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code->code) {
        if (error)
            *error = {errorText(errorCode), qsizetype(errorOffset)};
        return nullptr;
    }
    // Without machine code (a platform without it, or memory) the
    // interpreter runs the same program.
    pcre2_jit_compile(code->code, PCRE2_JIT_COMPLETE);
    last.reset(new RegexProgram(pattern, matchCase, std::move(code)));
    return last;
}

int RegexProgram::groupCount() const
{
    uint32_t count = 0;
    pcre2_pattern_info(m_code->code, PCRE2_INFO_CAPTURECOUNT, &count);
    return int(count);
}

QList<int> RegexProgram::groupsNamed(QStringView name) const
{
    QList<int> numbers;
    const QString terminated = name.toString();
    PCRE2_SPTR first = nullptr;
    PCRE2_SPTR last = nullptr;
    const int entrySize =
        pcre2_substring_nametable_scan(m_code->code, units(terminated), &first, &last);
    if (entrySize <= 0)
        return numbers;
    for (PCRE2_SPTR entry = first; entry <= last; entry += entrySize) numbers << int(entry[0]);
    return numbers;
}

namespace {
// What the pause callout keeps between its calls.
struct Pacer {
    using Clock = std::chrono::steady_clock;
    PCRE2_SIZE from = 0;
    Clock::time_point sliceEnd;
    Clock::time_point lastLook;
    uint32_t every = 1;
    uint32_t count = 0;
    PCRE2_SIZE pausedAt = PCRE2_UNSET;
};

int pauseCallout(pcre2_callout_block *block, void *data)
{
    if (block->callout_number != kPauseCallout || block->callout_string)
        return 0;
    Pacer &pacer = *static_cast<Pacer *>(data);
    if (++pacer.count < pacer.every)
        return 0;
    pacer.count = 0;
    const Pacer::Clock::time_point now = Pacer::Clock::now();
    // Never where the search began, so that every search moves on.
    if (now >= pacer.sliceEnd && block->start_match != pacer.from) {
        pacer.pausedAt = block->start_match;
        return PCRE2_ERROR_CALLOUT;
    }
    // Cheap attempts are counted, not timed one by one.
    if (now - pacer.lastLook < kLookEvery)
        pacer.every = std::min(pacer.every * 2, kMostAttemptsBetweenLooks);
    else
        pacer.every = std::max(pacer.every / 2, 1u);
    pacer.lastLook = now;
    return 0;
}
}  // namespace

struct RegexRun::Data {
    pcre2_match_data *matchData = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *jitStack = nullptr;
    Pacer pacer;

    ~Data()
    {
        pcre2_match_data_free(matchData);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
    }
};

RegexRun::RegexRun(std::shared_ptr<const RegexProgram> program)
    : m_program(std::move(program)), m_data(std::make_unique<Data>())
{
    m_data->matchData = pcre2_match_data_create_from_pattern(m_program->code().code, nullptr);
    m_data->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(m_data->context, kMatchLimit);
    pcre2_set_heap_limit(m_data->context, kHeapLimit);
    m_data->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (m_data->jitStack)
        pcre2_jit_stack_assign(m_data->context, nullptr, m_data->jitStack);
}

RegexRun::~RegexRun() = default;

const QString &RegexRun::pausePoint()
{
    static const QString point = QStringLiteral("(?C%1)").arg(kPauseCallout);
    return point;
}

RegexRun::Outcome RegexRun::match(QStringView subject, qsizetype from, bool notEmptyAtFrom,
                                  bool anchored)
{
    Data &d = *m_data;
    uint32_t options = PCRE2_NO_UTF_CHECK;
    if (notEmptyAtFrom)
        options |= PCRE2_NOTEMPTY_ATSTART;
    if (anchored)
        options |= PCRE2_ANCHORED;
    if (m_pausing) {
        d.pacer = Pacer();
        d.pacer.from = PCRE2_SIZE(from);
        d.pacer.lastLook = Pacer::Clock::now();
        d.pacer.sliceEnd = d.pacer.lastLook + kSlice;
        pcre2_set_callout(d.context, pauseCallout, &d.pacer);
    } else {
        pcre2_set_callout(d.context, nullptr, nullptr);
    }
    int rc = pcre2_match(m_program->code().code, units(subject), PCRE2_SIZE(subject.size()),
                         PCRE2_SIZE(from), options, d.matchData, d.context);
    // The machine code's stack is bounded; the interpreter keeps its
    // backtracking on the heap and may still finish.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        rc = pcre2_match(m_program->code().code, units(subject), PCRE2_SIZE(subject.size()),
                         PCRE2_SIZE(from), options | PCRE2_NO_JIT, d.matchData, d.context);
    }
    if (rc >= 0)
        return Outcome::Match;
    if (rc == PCRE2_ERROR_NOMATCH)
        return Outcome::NoMatch;
    if (rc == PCRE2_ERROR_CALLOUT && m_pausing && d.pacer.pausedAt != PCRE2_UNSET) {
        m_pausedAt = qsizetype(d.pacer.pausedAt);
        return Outcome::Paused;
    }
    m_error = errorText(rc);
    return Outcome::GaveUp;
}

std::pair<qsizetype, qsizetype> RegexRun::group(int n) const
{
    const uint32_t pairs = pcre2_get_ovector_count(m_data->matchData);
    if (n < 0 || uint32_t(n) >= pairs)
        return {-1, 0};
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(m_data->matchData);
    const PCRE2_SIZE start = ovector[2 * size_t(n)];
    const PCRE2_SIZE end = ovector[2 * size_t(n) + 1];
    // \K in a lookahead may end a match before its start: nothing then.
    if (start == PCRE2_UNSET || end < start)
        return {start == PCRE2_UNSET ? -1 : qsizetype(start), 0};
    return {qsizetype(start), qsizetype(end - start)};
}
