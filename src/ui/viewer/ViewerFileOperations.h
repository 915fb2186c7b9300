#pragma once

class DocumentBuffer;
class QLabel;
class QListWidget;
class QString;
struct RunContext;

/// The file operations of the list's context menu on the selected entry: open
/// with the default program, copy its path, rename and delete the file. No
/// rename or delete touches a protected folder; a failure leaves the entry as it was.
class ViewerFileOperations {
public:
    /// What the operations need from the window around them.
    class Host {
    public:
        /// offerToSaveChanges: offers unsaved changes of the shown document.
        virtual bool offerToSaveChanges() = 0;
        /// showListedFile: loads the selected entry.
        virtual void showSelectedEntry() = 0;
        /// The shown document's changes are dropped without asking.
        virtual void discardChanges() = 0;
        virtual void reportRenameFailure(const QString &description) = 0;

    protected:
        ~Host() = default;
    };

    ViewerFileOperations(RunContext &ctx, const DocumentBuffer &buffer, QListWidget *list,
                         QLabel *countLabel, Host &host);

    void openFile();
    void copyPath();
    void renameFile();
    void deleteFile();

private:
    RunContext &m_ctx;
    const DocumentBuffer &m_buffer;
    QListWidget *m_list;
    QLabel *m_countLabel;
    Host &m_host;
};
