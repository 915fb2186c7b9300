#include "Validation.h"

#include "BackupLocation.h"
#include "MainPort.h"
#include "RegexMatcher.h"
#include "RegexProgram.h"
#include "RegexReplacement.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunRequest.h"
#include "platform/Dialogs.h"

namespace {
const QString kErrorTitle = QStringLiteral(" Error");

// The empty-replacement question; its answer is the verdict.
Verdict confirmEmptyReplacement(RunContext &ctx)
{
    const QString text = QStringLiteral(
        "You have chosen to replace the string with nothing.\r"
        "This action cannot be undone.\r"
        "\r"
        "Continue with the Replacement operation??");
    // It deletes what it finds, so No is the default, as for every such question.
    const bool yes =
        ctx.dialogs->message(text, QStringLiteral(" Replace with nothing?"), MessageButtons::YesNo,
                             MessageIcon::Question, MessageAnswer::No) == MessageAnswer::Yes;
    return yes ? Verdict::EmptyReplacementConfirmed : Verdict::Refused;
}

Verdict refuse(RunContext &ctx, const QString &text, const QString &title,
               MessageIcon icon = MessageIcon::Information)
{
    ctx.dialogs->message(text, title, MessageButtons::Ok, icon);
    return Verdict::Refused;
}
// A regular expression that cannot be compiled, or a replacement naming a
// group it lacks, is refused before any file is read.
bool refuseInvalidRegex(RunContext &ctx, const QString &find, const QString *replace)
{
    const QString problem =
        regexProblem(find, ctx.request.isCaseSensitive(), ctx.request.isWholeWord(), replace);
    if (problem.isEmpty())
        return false;
    refuse(ctx, problem, kErrorTitle, MessageIcon::Error);
    return true;
}

// A backup root the settings or a caller handed over is checked before any
// question, so that no run starts that could not keep its copies where meant.
bool refuseBackupRoot(RunContext &ctx)
{
    if (!ctx.request.hasBackup() || !ctx.backup)
        return false;
    const QString problem = BackupTree::rootProblem(ctx.backup->backupRoot());
    if (problem.isEmpty())
        return false;
    refuse(ctx, problem, kErrorTitle, MessageIcon::Error);
    return true;
}
}  // namespace

QString regexProblem(const QString &pattern, bool matchCase, bool wholeWord,
                     const QString *replacement)
{
    // The pattern as written, for an error placed in the user's own text;
    // then the very pattern the search compiles.
    RegexProgram::Error error;
    if (!RegexProgram::compile(pattern, matchCase, &error)) {
        return QStringLiteral(
                   "The search text is not a valid regular expression: %1 (at "
                   "position %2).")
            .arg(error.message)
            .arg(error.offset);
    }
    const std::shared_ptr<const RegexProgram> program =
        RegexProgram::compile(RegexMatcher::searchedPattern(pattern, wholeWord), matchCase, &error);
    if (!program) {
        return QStringLiteral("The search text cannot be searched for as a regular expression: %1.")
            .arg(error.message);
    }
    const QString unknown =
        replacement ? RegexReplacement(*replacement).unknownGroup(*program) : QString();
    if (unknown.isEmpty())
        return QString();
    return QStringLiteral(
               "The replace text refers to %1, a group the regular expression does "
               "not have.")
        .arg(unknown);
}

Verdict validateRequest(RunContext &ctx, RequestUse use)
{
    const RunRequest &r = ctx.request;
    const bool isFind = use == RequestUse::Find;
    const QString noFiles = QStringLiteral("Please select the files that you want to edit.");
    const QString noFilesTitle = QStringLiteral(" No files selected");

    if (r.selectionCount().startsWith(QLatin1Char('0')) && !r.hasSubdirectories()) {
        return refuse(ctx, noFiles, noFilesTitle);
    }

    if (!isFind && refuseBackupRoot(ctx))
        return Verdict::Refused;

    if (r.isFuzzy()) {
        if (r.firstPart().isEmpty()) {
            return refuse(ctx,
                          QStringLiteral("You must enter the First Part of the search criteria."),
                          kErrorTitle);
        }
        if (r.secondPart().isEmpty()) {
            return refuse(ctx,
                          QStringLiteral("You must enter the Second Part of the search criteria."),
                          kErrorTitle);
        }
        if (r.fuzzyReplace().isEmpty() && !isFind) {
            return confirmEmptyReplacement(ctx);
        }
        return Verdict::Accepted;
    }

    const QString &find = r.findText();
    if (find.isEmpty()) {
        ctx.events->idle();
        return refuse(ctx, QStringLiteral("You must enter something to search for."), kErrorTitle);
    }
    if (r.isRegex()) {
        const QString replace = isFind ? QString() : r.replaceText();
        if (refuseInvalidRegex(ctx, find, isFind ? nullptr : &replace)) {
            ctx.events->idle();
            return Verdict::Refused;
        }
    }
    if (!isFind) {
        const QString &replace = r.replaceText();
        if (replace.isEmpty()) {
            ctx.events->idle();
            return confirmEmptyReplacement(ctx);
        }
        if (replace == find) {
            ctx.events->idle();
            return refuse(ctx, QStringLiteral("Find and replace strings can't be the same."),
                          kErrorTitle, MessageIcon::Error);
        }
    }

    if (r.fileCount() == 0 && !r.hasSubdirectories()) {
        ctx.events->idle();
        return refuse(ctx, noFiles, noFilesTitle);
    }
    return Verdict::Accepted;
}
