#pragma once

#include "platform/Dialogs.h"

class DocumentBuffer;
class QPlainTextEdit;
class QPrinter;
class QString;
class ViewerDocumentFile;
struct RunContext;

/// The file menu's commands on the shown document: open a file into the list,
/// save a copy under another name, print, and show the last report.
class ViewerFileCommands {
public:
    /// What the commands need from the window around them.
    class Host {
    public:
        /// False when unsaved changes could not be saved: nothing may replace them.
        virtual bool offerToSaveChanges() = 0;
        /// Loads path into the document; false (after telling the user) when it fails.
        virtual bool loadDocument(const QString &path, const QString &source) = 0;
        /// path, already loaded, goes to the end of the list and is selected.
        virtual void listOpenedFile(const QString &path) = 0;
        /// The list's next reaction to a change is skipped: the document is loaded already.
        virtual void skipNextListReaction() = 0;
        /// The list's selected entry; empty when none is selected.
        virtual QString selectedEntry() const = 0;
        virtual void setCaption(const QString &text) = 0;
        virtual void setStatus(int panel, const QString &text) = 0;
        virtual void reportFailure(const QString &message, MessageIcon icon, const QString &title,
                                   const QString &source, const QString &description) = 0;

    protected:
        ~Host() = default;
    };

    /// document is the view whose font printing uses and whose window parents the dialogs.
    ViewerFileCommands(RunContext &ctx, const DocumentBuffer &buffer, ViewerDocumentFile &file,
                       QPlainTextEdit *document, Host &host);

    /// Asks for a file, then openPath.
    void openFile();
    /// Loads path and lists it; ends silently when the file cannot be read.
    void openPath(const QString &path);
    /// Asks for a name, then saves a copy there.
    void saveAs();
    /// Asks for a printer, then printTo.
    void print();
    /// Prints the document's plain text on printer (no dialog).
    void printTo(QPrinter &printer);
    /// Shows the report of the last run, when there is one.
    void showLastReport();

private:
    /// Where the open and save dialogs start: the folder of the file the list
    /// has selected, else of the shown document, else the home folder.
    QString startFolder() const;

    RunContext &m_ctx;
    const DocumentBuffer &m_buffer;
    ViewerDocumentFile &m_file;
    QPlainTextEdit *m_document;
    Host &m_host;
};
