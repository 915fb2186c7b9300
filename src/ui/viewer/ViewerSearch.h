#pragma once

#include <QtGlobal>

class DocumentBuffer;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QString;
struct RunContext;
class SearchEvents;

/// Find first, find next (the walk on through the viewer's list until a match)
/// and the manual replacement of the highlighted text in the shown document.
class ViewerSearch {
public:
    /// What the search needs from the window around it.
    class Host {
    public:
        virtual bool isFuzzyMode() const = 0;
        virtual void setStatus(int panel, const QString &text) = 0;
        /// saveFindHistoryHere then saveReplaceHistoryHere.
        virtual void saveHistory() = 0;
        virtual void updateFileModified() = 0;
        virtual bool isFileModified() const = 0;
        virtual void markFileModified() = 0;
        /// False when the save failed and the document must stay.
        virtual bool promptSaveResettingAttributes() = 0;
        /// Loads path into the document; false (after telling the user) when it fails.
        virtual bool loadDocument(const QString &path, const QString &source) = 0;
        /// Selects row of the list without its selection reaction loading it.
        virtual void selectRowQuietly(int row) = 0;
        virtual void showFileInfo(const QString &path) = 0;
        virtual void setCaption(const QString &text) = 0;
        /// The document shows a binary or too large file's facts, not its text.
        virtual bool isShowingFacts() const = 0;

    protected:
        ~Host() = default;
    };

    /// The controls the search reads and moves.
    struct Controls {
        QComboBox *find;
        QComboBox *find2;
        QComboBox *replace;
        QString *newPos;  ///< where the next search of the document starts
        QListWidget *list;
        QLabel *index;
        QPlainTextEdit *document;
    };

    /// shown receives what the searches find: the viewer's labels, not the run's events.
    ViewerSearch(RunContext &ctx, DocumentBuffer &buffer, const Controls &controls, Host &host,
                 SearchEvents &shown);

    /// findFirst: the first match in the shown document.
    void findFirst();
    /// findNext: the next match, in this file or a following one.
    void findNext();
    /// replaceCurrent: the highlighted text becomes the replacement text.
    void replaceCurrent();
    /// A find next is going on through the list (it yields between files).
    bool isWalking() const { return m_walking; }
    /// Where the last search found its match; -1 when it found none.
    qint32 foundPos() const { return m_foundPos; }
    /// A new document or a closed list: searches start at the top again.
    void resetPositions()
    {
        m_searchStart = 0;
        m_foundPos = 0;
    }

private:
    bool checkFindInput(bool fromFindNext);
    void finishFindNext(bool matched);
    /// Searches the shown document from the position field on; true when the
    /// walk ends there (a match shown, an empty document, a stop).
    bool searchShownDocument();
    /// At the end of the list: says the search is complete and goes back to
    /// the first entry.
    void wrapToFirstEntry(int count);
    /// Shows the list's entry at row for the walk; false when it could not be read.
    bool openEntry(int row);

    RunContext &m_ctx;
    DocumentBuffer &m_buffer;
    Controls m_controls;
    Host &m_host;
    SearchEvents &m_shown;
    bool m_walking = false;
    qint32 m_searchStart = 0;
    qint32 m_foundPos = 0;
};
