#include "RunSupport.h"

#include "DocumentBuffer.h"
#include "MainPort.h"
#include "RunContext.h"
#include "SearchRequest.h"
#include "ViewerPort.h"
#include "platform/Paths.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "settings/ErrorLog.h"

#include <QStringList>

#include <exception>

namespace {
// Iterative glob with backtracking over the last "*": linear for the
// patterns people type, never exponential.
bool globMatch(QStringView name, QStringView pattern, Qt::CaseSensitivity cs)
{
    auto same = [cs](QChar a, QChar b) {
        return cs == Qt::CaseSensitive ? a == b : a.toCaseFolded() == b.toCaseFolded();
    };
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}
}  // namespace

void Get_Path(RunContext &ctx)
{
    ctx.state.CurrentPath = Paths::withTrailingSeparator(ctx.request->folderPath());
}

bool RunSupport::matchesWildcard(const QString &name, const QString &pattern)
{
    if (pattern.isEmpty() || pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
        return true;
#ifdef Q_OS_WIN
    return globMatch(name, pattern, Qt::CaseInsensitive);
#else
    return globMatch(name, pattern, Qt::CaseSensitive);
#endif
}

bool RunSupport::matchesReplacePattern(const QString &name, const QString &pattern)
{
    const qsizetype star = pattern.indexOf(QLatin1Char('*'));
    const QString part = star < 0 ? pattern : pattern.mid(star + 1);
    return part == QLatin1String(".*") || name.contains(part, Qt::CaseSensitive);
}

bool RunSupport::isSelectedInFileList(const SearchRequest &request, const QString &name)
{
    const int count = request.fileCount();
    for (int i = 0; i < count; ++i) {
        if (request.fileName(i) == name && request.isFileSelected(i))
            return true;
    }
    return false;
}

void RunSupport::reportRunError(RunContext &ctx, const QString &sentence, const QString &source,
                                const QString &description)
{
    ErrorLog::reportFailure(*ctx.dialogs, ErrorLog::exactErrorMessage(sentence, description),
                            QStringLiteral(" Error"), source, description);
}

bool RunSupport::trapped(RunContext &ctx, const QString &sentence, const QString &source,
                         const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const Failure &failure) {
        reportRunError(ctx, sentence, source, failure.description());
    } catch (const std::bad_alloc &) {
        reportRunError(ctx, sentence, source, QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        reportRunError(ctx, sentence, source, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void RunSupport::saveOrUnlist(RunContext &ctx, const QString &path, qint32 totalBefore,
                              const std::function<void()> &save)
{
    try {
        save();
    } catch (...) {
        ViewerPort &viewer = *ctx.viewer;
        const int last = viewer.listCount() - 1;
        if (last >= 0 && viewer.listItem(last) == path) {
            QStringList keep;
            for (int k = 0; k < last; ++k)
                keep << viewer.listItem(k);
            viewer.clearList();
            for (const QString &p : keep)
                viewer.addToList(p);
        }
        ctx.state.TotalReplacements = totalBefore;
        throw;
    }
}

void RunSupport::showSearching(RunContext &ctx, const QString &path)
{
    ctx.main->setStatusText(2, QStringLiteral(" Searching through document: ") + path);
}

void RunSupport::storeSubfolder(QStringList &table, const QString &folder)
{
    constexpr int kMaxSubfolders = 32767;
    if (table.size() >= kMaxSubfolders)
        throw Failure(QStringLiteral("Overflow"));
    table << folder;
}

void RunSupport::loadIntoViewer(RunContext &ctx, const QString &path)
{
    ctx.viewer->setTag(QStringLiteral("Stop"));
    loadShownFile(ctx, path);
}

void RunSupport::loadShownFile(RunContext &ctx, const QString &path)
{
    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    buffer.LoadFile(path);
    ctx.viewer->setHoldText(buffer.Text());
}
