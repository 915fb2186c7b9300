#include "ViewerDocumentFile.h"

#include "ViewerDocumentView.h"
#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "settings/ErrorLog.h"

namespace {

QString describe(const std::exception &e)
{
    if (auto failure = dynamic_cast<const Failure *>(&e))
        return failure->description();
    return QString::fromLocal8Bit(e.what());
}

}  // namespace

ViewerDocumentFile::ViewerDocumentFile(RunContext &ctx, DocumentBuffer &buffer,
                                       DocumentBuffer &hold, ViewerDocumentView &view,
                                       bool &modified)
    : m_ctx(ctx), m_buffer(buffer), m_hold(hold), m_view(view), m_modified(modified)
{
}

void ViewerDocumentFile::load(const QString &path)
{
    m_buffer.LoadFile(path);
    m_hold.setText(m_buffer.Text());
    m_view.clearUserTyped();
}

void ViewerDocumentFile::updateModified()
{
    const QString &text = m_buffer.Text();
    const QString &hold = m_hold.Text();
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
    try {
        m_buffer.SaveFile(path);
        return true;
    } catch (const std::exception &e) {
        if (m_ctx.dialogs)
            m_ctx.dialogs->message(
                ErrorLog::exactErrorMessage(
                    QStringLiteral("There was an error while saving the file."), describe(e)),
                QStringLiteral("Error"), MessageButtons::Ok, MessageIcon::Error);
        ErrorLog::LogError(source + QStringLiteral("-frmViewer.frm"), describe(e), m_ctx.dialogs);
        return false;
    }
}

void ViewerDocumentFile::markSaved()
{
    m_hold.setText(m_buffer.Text());
    m_modified = false;
    m_view.clearUserTyped();
}

bool ViewerDocumentFile::promptSave()
{
    if (!hasUnsavedChanges())
        return true;
    const QString path = m_buffer.FileName();
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
    return m_ctx.dialogs->message(QStringLiteral("This file has been modified.") +
                                      QStringLiteral("\r") +
                                      QStringLiteral("Would you like to save this as ") +
                                      m_buffer.FileName() + QStringLiteral(" ?"),
                                  QStringLiteral(" Save"), buttons, MessageIcon::Question,
                                  MessageAnswer::Yes);
}

bool ViewerDocumentFile::hasUnsavedChanges()
{
    // Typing marks the document too, so that no unsaved typing is dropped unasked.
    if (m_view.hasUserTyped() && m_buffer.Text() != m_hold.Text())
        m_modified = true;
    return m_modified;
}

bool ViewerDocumentFile::promptSaveBeforeExit()
{
    if (!hasUnsavedChanges())
        return true;
    switch (askToSave(MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        if (!save(m_buffer.FileName(), QStringLiteral("Form_Unload")))
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
    const QString path = m_buffer.FileName();
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
