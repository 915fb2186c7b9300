#include "ViewerSearch.h"

#include "engine/DocumentBuffer.h"
#include "engine/MainPort.h"
#include "engine/MatchPrimitives.h"
#include "engine/ReplacementText.h"
#include "engine/RunContext.h"
#include "engine/SearchMatcher.h"
#include "engine/SearchRequest.h"
#include "engine/Validation.h"
#include "platform/Dialogs.h"
#include "settings/LogSources.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopeGuard>

namespace {

const QString kCompleteMessage =
    QStringLiteral("Finished searching through all selected documents.");
const QString kCompleteTitle = QStringLiteral(" Search complete");

}  // namespace

ViewerSearch::ViewerSearch(RunContext &ctx, DocumentBuffer &buffer, const Controls &controls,
                           Host &host, SearchEvents &shown)
    : m_ctx(ctx), m_buffer(buffer), m_controls(controls), m_host(host), m_shown(shown)
{
}

bool ViewerSearch::checkFindInput(bool fromFindNext)
{
    const bool fuzzy = m_host.isFuzzyMode();
    QComboBox *empty = nullptr;
    if (m_controls.find->currentText().isEmpty())
        empty = m_controls.find;
    else if (fuzzy && m_controls.find2->currentText().isEmpty())
        empty = m_controls.find2;
    const SearchRequest *request = m_ctx.requestSource;
    if (!empty && !fuzzy && request && request->isRegex()) {
        const QString problem = regexProblem(m_controls.find->currentText(),
                                             request->isCaseSensitive(), request->isWholeWord());
        if (!problem.isEmpty()) {
            m_ctx.dialogs->message(problem, QStringLiteral(" Error"), MessageButtons::Ok,
                                   MessageIcon::Error);
            m_controls.find->setFocus();
            return false;
        }
    }
    if (!empty)
        return true;
    m_ctx.dialogs->message(QStringLiteral("You must enter something to search for."),
                           QStringLiteral("Error"), MessageButtons::Ok, MessageIcon::Information);
    if (fromFindNext) {
        m_host.setStatus(2, QStringLiteral(" "));
        m_host.setStatus(1, fuzzy ? QStringLiteral("Scrivlane") : QStringLiteral(" Scrivlane"));
        empty->setFocus();
    } else {
        m_controls.find->setFocus();
    }
    return false;
}

void ViewerSearch::findFirst()
{
    if (!checkFindInput(false))
        return;
    qint32 start = 0;
    qint32 &found = m_foundPos;
    if (m_host.isShowingFacts()) {
        found = -1;
        m_ctx.dialogs->message(kCompleteMessage, kCompleteTitle, MessageButtons::Ok,
                               MessageIcon::Information);
        return;
    }
    const RunRequest terms = m_ctx.currentTerms();
    found = m_host.isFuzzyMode() ? findFuzzyInBuffer(m_ctx, terms, start, m_shown)
                                 : findInBuffer(m_ctx, terms, start, m_shown);
    if (m_ctx.state.stopRequested)
        return;
    if (found == -1) {
        m_ctx.dialogs->message(kCompleteMessage, kCompleteTitle, MessageButtons::Ok,
                               MessageIcon::Information);
    }
    m_controls.document->setFocus();
}

void ViewerSearch::findNext()
{
    // One pass per file: search on from the stored start; on no match go on with the
    // next entry until a match, the end of the list or a stop.
    QListWidget *list = m_controls.list;
    m_walking = true;
    const auto walkEnds = qScopeGuard([this] { m_walking = false; });
    bool inputChecked = false;
    bool skipSearch = false;
    for (;;) {
        m_host.updateFileModified();
        if (!inputChecked) {
            if (!checkFindInput(true))
                return;
            m_host.saveHistory();
            inputChecked = true;
        }
        // A file shown by its facts has nothing to search: the walk passes it over.
        if (!skipSearch && !m_host.isShowingFacts() && searchShownDocument())
            return;

        if (m_ctx.main)
            m_ctx.main->yieldToEvents();
        if (m_ctx.state.stopRequested)
            return;
        const int count = list->count();
        const int row = list->currentRow();
        if (row >= count - 1) {
            // A changed document that could not be saved stays where it is.
            if (m_host.promptSaveResettingAttributes())
                wrapToFirstEntry(count);
            return;
        }
        if (m_host.isFileModified() && !m_host.promptSaveResettingAttributes())
            return;
        // A file that cannot be read is passed over rather than searched in the old text.
        skipSearch = !openEntry(row + 1);
    }
}

bool ViewerSearch::searchShownDocument()
{
    if (m_buffer.text().isEmpty()) {
        finishFindNext(false);
        return true;
    }
    bool ok = false;
    m_searchStart = m_controls.newPos->toInt(&ok);
    if (!ok || m_searchStart < 0)
        m_searchStart = 0;
    m_host.setStatus(2, QStringLiteral(" Searching through document: ") + m_buffer.fileName());
    RunRequest terms = m_ctx.currentTerms();
    // Find Next searches with the viewer's own parts, Find First with the main window's.
    terms.takeParts(m_controls.find->currentText(), m_controls.find2->currentText());
    m_foundPos = m_host.isFuzzyMode() ? findFuzzyInBuffer(m_ctx, terms, m_searchStart, m_shown)
                                      : findInBuffer(m_ctx, terms, m_searchStart, m_shown);
    if (m_ctx.state.stopRequested)
        return true;
    if (m_foundPos == -1)
        return false;
    finishFindNext(true);
    return true;
}

void ViewerSearch::wrapToFirstEntry(int count)
{
    QListWidget *list = m_controls.list;
    m_ctx.dialogs->message(kCompleteMessage, kCompleteTitle, MessageButtons::Ok,
                           MessageIcon::Information);
    m_foundPos = -1;
    m_searchStart = 0;
    m_buffer.setSelectionLength(0);
    *m_controls.newPos = QStringLiteral("-1");
    if (count == 0)
        return;
    if (list->currentRow() != 0) {
        list->setCurrentRow(0);
    } else {
        m_host.loadDocument(list->item(0)->text(), LogSource::viewerFindNext);
        *m_controls.newPos = QStringLiteral("-1");
    }
}

bool ViewerSearch::openEntry(int row)
{
    // The walk loads the entry itself.
    m_host.selectRowQuietly(row);
    m_searchStart = 0;
    const QString path = m_controls.list->item(row)->text();
    const bool loaded = m_host.loadDocument(path, LogSource::viewerFindNext);
    m_host.setStatus(2, QStringLiteral(" Searching through document: ") + path);
    m_host.setCaption(QStringLiteral("Viewing document: ") + path);
    m_host.showFileInfo(path);
    *m_controls.newPos = QString::number(m_searchStart);
    m_controls.index->setText(QString::number(row + 1));
    return loaded;
}

void ViewerSearch::finishFindNext(bool matched)
{
    if (matched)
        m_host.setCaption(QStringLiteral("Viewing document: ") + m_buffer.fileName());
    *m_controls.newPos = QString::number(m_searchStart);
    if (m_controls.list->count() == 0) {
        m_ctx.dialogs->message(QStringLiteral("Please select the files that you want to edit."),
                               QStringLiteral(" No files selected"), MessageButtons::Ok,
                               MessageIcon::Information);
    } else {
        m_controls.document->setFocus();
    }
}

void ViewerSearch::replaceCurrent()
{
    if (m_host.isShowingFacts())
        return;  // nothing of the file is in the buffer to replace
    // A line break in the box is written as the file's own line end; a regular
    // expression's groups are filled in from the selected match.
    const QString typed = m_controls.replace->currentText();
    const QString replacement =
        m_ctx.requestSource
            ? replacementAt(m_ctx.currentTerms(), typed, m_buffer.text(), m_buffer.selectionStart(),
                            m_buffer.selectionLength())
            : ReplacementText(typed, m_buffer.text()).forMatch(m_buffer.selectedText());
    const bool selected = m_buffer.selectionLength() > 0;
    if (!typed.isEmpty()) {
        if (selected) {
            m_buffer.setSelectedText(replacement);
            m_controls.document->setFocus();
            m_host.markFileModified();
        }
    } else {
        if (selected) {
            const QString cr = QStringLiteral("\r");
            const MessageAnswer answer = m_ctx.dialogs->message(
                QStringLiteral("You have chosen to replace the string with nothing.") + cr +
                    QStringLiteral("This action cannot be undone.") + cr + cr +
                    QStringLiteral("Continue with the Replacement operation??"),
                QStringLiteral(" Replace with nothing?"), MessageButtons::YesNo,
                MessageIcon::Question, MessageAnswer::Yes);
            if (answer == MessageAnswer::Yes) {
                m_buffer.setSelectedText(QString());
                m_controls.document->setFocus();
                m_host.markFileModified();
            }
        } else {
            m_ctx.dialogs->message(QStringLiteral("There is no search text highlighted."),
                                   QStringLiteral(" Replacement error"), MessageButtons::Ok,
                                   MessageIcon::Information);
        }
        m_controls.replace->setFocus();
    }
    *m_controls.newPos = QString::number(m_buffer.selectionStart() + m_buffer.selectionLength());
}
