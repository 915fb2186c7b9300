#include "ViewerDocumentFile.h"

#include "ViewerDocumentView.h"
#include "ViewerFileInfo.h"
#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"
#include "platform/ContentKind.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"

namespace {

QString describe(const std::exception &e)
{
    if (auto failure = dynamic_cast<const Failure *>(&e))
        return failure->description();
    return QString::fromLocal8Bit(e.what());
}

}  // namespace

ViewerDocumentFile::ViewerDocumentFile(RunContext &ctx, DocumentBuffer &buffer,
                                       DocumentBuffer &hold, ViewerDocumentView &view)
    : m_ctx(ctx), m_buffer(buffer), m_hold(hold), m_view(view)
{
}

void ViewerDocumentFile::load(const QString &path)
{
    const ContentKind::Kind kind = ContentKind::ofFile(path);
    if (kind != ContentKind::Kind::Text) {
        // Only its facts are shown: a disk image or a huge file is never read whole.
        m_buffer.loadBytes(path, QByteArray());
        m_hold.setText(QString());
        m_view.clearUserTyped();
        m_view.showFacts(ViewerFileInfo::facts(path, kind));
        return;
    }
    m_buffer.load(path);
    m_hold.setText(m_buffer.text());
    m_view.clearUserTyped();
}

void ViewerDocumentFile::updateModified()
{
    const QString &text = m_buffer.text();
    const QString &hold = m_hold.text();
    if (text != hold) {
        // Typing into a document that was loaded empty counts as a change as well.
        if (!hold.isEmpty() || m_view.hasUserTyped())
            m_modified = true;
    } else {
        m_modified = false;
    }
}

bool ViewerDocumentFile::save(const QString &path, const QString &source)
{
    if (m_view.isShowingFacts()) {
        // The buffer does not hold the file's bytes: writing it would destroy the file.
        if (m_ctx.dialogs)
            m_ctx.dialogs->message(
                QStringLiteral(
                    "This file is not shown in the viewer, so there is nothing to save."),
                QStringLiteral(" Save"), MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    try {
        m_buffer.save(path);
        return true;
    } catch (const std::exception &e) {
        if (m_ctx.dialogs)
            m_ctx.dialogs->message(
                ErrorLog::exactErrorMessage(
                    QStringLiteral("There was an error while saving the file."), describe(e)),
                QStringLiteral("Error"), MessageButtons::Ok, MessageIcon::Error);
        ErrorLog::logError(LogSource::inViewer(source), describe(e), m_ctx.dialogs);
        return false;
    }
}

void ViewerDocumentFile::markSaved()
{
    m_hold.setText(m_buffer.text());
    m_modified = false;
    m_view.clearUserTyped();
}

bool ViewerDocumentFile::promptSave()
{
    if (!hasUnsavedChanges())
        return true;
    const QString path = m_buffer.fileName();
    if (askToSave(MessageButtons::YesNo) == MessageAnswer::Yes) {
        // No attribute reset first: the atomic save keeps a read-only file's
        // mode and needs only its folder to be writable.
        if (!save(path, QStringLiteral("PromptSaveModified")))
            return false;
        markSaved();
        return true;
    }
    discardChanges();
    return true;
}

MessageAnswer ViewerDocumentFile::askToSave(MessageButtons buttons)
{
    return m_ctx.dialogs->message(
        QStringLiteral("This file has been modified.") + QStringLiteral("\r") +
            QStringLiteral("Would you like to save this as ") + m_buffer.fileName() +
            QStringLiteral(" ?"),
        QStringLiteral(" Save"), buttons, MessageIcon::Question, MessageAnswer::Yes);
}

bool ViewerDocumentFile::hasUnsavedChanges()
{
    if (m_view.isShowingFacts())
        return false;
    // Typing marks the document too, so that no unsaved typing is dropped unasked.
    if (m_view.hasUserTyped() && m_buffer.text() != m_hold.text())
        m_modified = true;
    return m_modified;
}

bool ViewerDocumentFile::promptSaveBeforeExit()
{
    if (!hasUnsavedChanges())
        return true;
    switch (askToSave(MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        if (!save(m_buffer.fileName(), LogSource::viewerUnload))
            return false;
        markSaved();
        return true;
    case MessageAnswer::No:
        discardChanges();
        return true;
    default:
        return false;
    }
}

void ViewerDocumentFile::saveCurrent()
{
    if (m_view.isShowingFacts()) {
        save(m_buffer.fileName(), QString());  // says why nothing is saved
        return;
    }
    const QString path = m_buffer.fileName();
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("Save this as ") + path + QStringLiteral("?"), QStringLiteral(" Save"),
        MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
    if (answer != MessageAnswer::Yes)
        return;
    if (save(path, QStringLiteral("SaveCurrent")))
        markSaved();
}

void ViewerDocumentFile::saveAs(const QString &path)
{
    if (m_view.isShowingFacts()) {
        save(path, QString());  // says why nothing is saved
        return;
    }
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("Save the current file as ") + path + QStringLiteral("?"),
        QStringLiteral(" Save as"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::Yes);
    if (answer == MessageAnswer::Yes)
        save(path, QStringLiteral("SaveAs"));
}

void ViewerDocumentFile::discardChanges()
{
    m_modified = false;
    m_view.clearUserTyped();
}
