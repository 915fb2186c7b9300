#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <utility>

/// A regular expression compiled by PCRE2 (UTF-16, ^ and $ at every line,
/// CR LF, LF and CR each one line end), compiled to machine code where the
/// platform allows. Read-only once made, so matchers on several threads share it.
class RegexProgram {
public:
    /// Why a pattern did not compile, and where.
    struct Error {
        QString message;
        qsizetype offset = 0;
    };

    /// The program for pattern exactly as given, or null with error filled in.
    /// The last one compiled is kept: a run makes a matcher for every file.
    static std::shared_ptr<const RegexProgram> compile(const QString &pattern, bool matchCase,
                                                       Error *error = nullptr);

    ~RegexProgram();
    RegexProgram(const RegexProgram &) = delete;
    RegexProgram &operator=(const RegexProgram &) = delete;

    const QString &pattern() const { return m_pattern; }
    bool matchesCase() const { return m_matchCase; }
    /// How many numbered groups the pattern has.
    int groupCount() const;
    /// The numbers of the groups called name, in order; empty when none is.
    QList<int> groupsNamed(QStringView name) const;

    struct Code;
    const Code &code() const { return *m_code; }

private:
    RegexProgram(QString pattern, bool matchCase, std::unique_ptr<Code> code);

    QString m_pattern;
    bool m_matchCase;
    std::unique_ptr<Code> m_code;
};

/// One matcher's searches with a program: the match data and stacks it reuses.
/// Not shared between threads.
class RegexRun {
public:
    explicit RegexRun(std::shared_ptr<const RegexProgram> program);
    ~RegexRun();
    RegexRun(const RegexRun &) = delete;
    RegexRun &operator=(const RegexRun &) = delete;

    enum class Outcome {
        Match,
        NoMatch,
        /// The search set itself aside at pausedAt() to let the caller look
        /// up; searching again from there goes on as if it had not.
        Paused,
        /// The engine gave up (a match or depth limit, or memory): it cannot
        /// tell whether or where the text matches. error() says why.
        GaveUp,
    };

    /// Marks in the pattern where the engine may set a search aside; the
    /// program must hold one at its start for searches to pause.
    static const QString &pausePoint();

    /// When set, a search sets itself aside about every slice of work at the
    /// start of a match attempt (never at from).
    void setPausing(bool on) { m_pausing = on; }

    /// The first match starting at or after from in subject (valid UTF-16).
    /// notEmptyAtFrom refuses an empty match at from; anchored takes only a
    /// match at from.
    Outcome match(QStringView subject, qsizetype from, bool notEmptyAtFrom, bool anchored = false);

    /// Start and length of group n of the last match; start -1 when it took no part.
    std::pair<qsizetype, qsizetype> group(int n) const;
    qsizetype pausedAt() const { return m_pausedAt; }
    const QString &error() const { return m_error; }
    const RegexProgram &program() const { return *m_program; }

private:
    struct Data;
    std::shared_ptr<const RegexProgram> m_program;
    std::unique_ptr<Data> m_data;
    bool m_pausing = false;
    qsizetype m_pausedAt = -1;
    QString m_error;
};
