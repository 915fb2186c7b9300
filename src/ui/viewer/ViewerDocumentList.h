#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringList>

class DocumentBuffer;
class QLabel;
class QLineEdit;
class QListWidget;
struct RunContext;

/// The viewer's list of files: showing the selected entry's file, moving up
/// and down the list, and the skip that lets a run or a command select an
/// entry or change the text without the list loading the file again.
class ViewerDocumentList {
public:
    /// What the list needs from the window around it.
    class Host {
    public:
        /// False when unsaved changes could not be saved: nothing may replace them.
        virtual bool offerToSaveChanges() = 0;
        /// Loads path into the document; false (after telling the user) when it fails.
        virtual bool loadDocument(const QString &path, const QString &source) = 0;
        virtual void setStatus(int panel, const QString &text) = 0;
        virtual void setCaption(const QString &text) = 0;
        virtual void showFileInfo(const QString &path) = 0;
        /// A new document is shown: searches start at its top.
        virtual void restartSearch() = 0;

    protected:
        ~Host() = default;
    };

    /// The controls the list reads and sets.
    struct Controls {
        QListWidget *list;
        QLabel *count;
        QLabel *index;
        QLabel *foundPos;
        QString *newPos;  ///< where the next search of the document starts
    };

    ViewerDocumentList(RunContext &ctx, const DocumentBuffer &buffer, const Controls &controls,
                       Host &host);
    ~ViewerDocumentList();
    ViewerDocumentList(const ViewerDocumentList &) = delete;
    ViewerDocumentList &operator=(const ViewerDocumentList &) = delete;

    /// path goes to the end of the list at the next pass of the event loop, or
    /// sooner when the list is read: a run adds thousands of entries, and the
    /// list lays out and announces each one, yet they are seen only when painted.
    void add(const QString &path);
    /// The entries, those still waiting included.
    int count() const;
    /// The entry at index, waiting or not; empty past the end.
    QString entry(int index) const;
    /// Puts the waiting entries in the list.
    void putWaitingInPlace();
    /// Empties the list, waiting entries included.
    void removeAll();

    /// The selection's reaction: offers unsaved changes, then shows the selected file.
    void showSelectedFile();
    /// The text's reaction: the file facts of the selected entry brought up to date.
    void documentEdited();
    /// One entry up or down, round the ends.
    void previousFile();
    void nextFile();
    /// Moves the selection back to the shown document without reloading it.
    void keepShownEntrySelected();
    /// Selects row without its selection reaction loading it.
    void selectRowQuietly(int row);
    /// path, already loaded, goes to the end of the list and is selected.
    void appendShown(const QString &path);
    /// The list emptied when the viewer closes.
    void clear();

    /// The next reaction to a selection or text change is skipped.
    void skipNextReaction();
    /// After a failed load: a skip still pending is dropped.
    void dropPendingSkip();
    bool isSkipPending() const { return m_skipNext; }

private:
    /// True (and the marker cleared) when this reaction is to be skipped.
    bool takeSkip();
    void step(int delta);
    void dropWaiting();

    RunContext &m_ctx;
    const DocumentBuffer &m_buffer;
    Controls m_controls;
    Host &m_host;
    bool m_skipNext = false;
    QStringList m_waiting;
    QList<QMetaObject::Connection> m_passes;
};
