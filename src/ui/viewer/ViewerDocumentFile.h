#pragma once

#include "platform/Dialogs.h"

#include <QString>

class DocumentBuffer;
class ViewerDocumentView;
struct RunContext;

/// The shown document against its file: loading it, telling whether it was
/// changed since, offering to save it and saving it. Nothing the
/// user typed is dropped without asking.
class ViewerDocumentFile {
public:
    /// hold keeps the text as last loaded or saved (heldDocument).
    ViewerDocumentFile(RunContext &ctx, DocumentBuffer &buffer, DocumentBuffer &hold,
                       ViewerDocumentView &view);

    /// The document holds changes not yet saved (as last found by updateModified).
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    /// Loads path as the shown document; throws when it cannot be read.
    void load(const QString &path);
    /// A changed text marks the document modified, an unchanged one clears the mark.
    void updateModified();
    /// Saves to path; false (after telling the user and logging) when it fails.
    bool save(const QString &path, const QString &source);
    /// offerToSaveChanges: asks whether to save a modified document and does so,
    /// keeping the file's mode. False when the save failed: the document is
    /// still modified and must not be replaced.
    bool promptSave();
    /// At shut-down: asks Yes, No or Cancel about unsaved changes (typing
    /// included). False when the program must stay open: Cancel, or a failed save.
    bool promptSaveBeforeExit();
    /// saveCurrent: asks, then saves under the document's own name.
    void saveCurrent();
    /// Asks, then saves a copy as path; the document stays the one shown.
    void saveAs(const QString &path);
    /// The changes are dropped without asking (the file went away).
    void discardChanges();

private:
    void markSaved();
    bool hasUnsavedChanges();
    MessageAnswer askToSave(MessageButtons buttons);

    RunContext &m_ctx;
    DocumentBuffer &m_buffer;
    DocumentBuffer &m_hold;
    ViewerDocumentView &m_view;
    bool m_modified = false;
};
