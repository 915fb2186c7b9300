#pragma once

#include "Replacer.h"
#include "RunRequest.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class Matcher;

/// A file a preview would change, as the replacement left it; valid only
/// while it is handed over, nothing of it is written anywhere.
struct PreviewedFile {
    QString path;
    /// What the file was when it was read, so a later Replace can tell it changed.
    FileSystem::FileStamp stamp;
    TextEncoding encoding = TextEncoding::Utf8;
    QStringView oldText;
    /// Empty when the sink wants no texts.
    QStringView newText;
    const QList<TextChange> &changes;
};

/// Receives each file a preview run would change, in the order Replace would
/// change them.
class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    virtual void filePreviewed(const PreviewedFile &file) = 0;
    /// False when the sink reads only the path, stamp and changes: the run
    /// then builds no new text.
    virtual bool wantsTexts() const { return true; }
    /// The request the preview runs, as it took it from the window.
    virtual void requestTaken(const RunRequest &) {}
};

/// A file's ticked replacements: what "Replace ticked" may write in it. A
/// file whose stamp no longer matches is passed over.
struct TickedFile {
    QString path;
    FileSystem::FileStamp stamp;
    /// Old-text positions of the ticked replacements.
    QSet<qsizetype> positions;
};

/// The ticked replacements of a preview, by file.
struct TickedReplacements {
    using File = TickedFile;
    QList<TickedFile> files;
    /// What the preview searched for and where; Replace ticked runs it, not
    /// whatever the window's boxes hold by then.
    std::optional<RunRequest> request;
};

/// What a preview found: every file a Replace would change, where each
/// replacement stands and which ones are ticked. It keeps positions and
/// counts, never a file's text: a replacement's context is read from the file
/// when it is asked for, one file at a time.
class PreviewResult : public PreviewSink {
public:
    /// matcher and replacement are the run's own, to work out again what a
    /// replacement writes when its context is shown.
    PreviewResult(std::shared_ptr<const Matcher> matcher, QString replacement);
    /// A result for what the request's Replace would write.
    static PreviewResult forRequest(const RunRequest &request);

    void filePreviewed(const PreviewedFile &file) override;
    bool wantsTexts() const override { return false; }
    void requestTaken(const RunRequest &request) override { m_request = request; }

    int fileCount() const { return int(m_files.size()); }
    const QString &path(int file) const { return m_files[file].path; }
    int replacementCount(int file) const { return int(m_files[file].changes.size()); }
    const TextChange &change(int file, int replacement) const
    {
        return m_files[file].changes[replacement];
    }

    bool isTicked(int file, int replacement) const { return m_files[file].ticked[replacement]; }
    /// How many of the file's replacements are ticked.
    int tickedIn(int file) const { return m_files[file].tickedCount; }
    void setTicked(int file, int replacement, bool ticked);
    /// Ticks or unticks every replacement of the file.
    void setFileTicked(int file, bool ticked);

    int tickedFileCount() const { return m_tickedFiles; }
    qint64 tickedReplacementCount() const { return m_tickedReplacements; }
    qint64 replacementTotal() const { return m_total; }

    /// The ticked replacements for Replace ticked.
    TickedReplacements ticked() const;

    /// A replacement as it reads in its file: its line and the lines around it.
    struct Context {
        /// 1-based line where the replaced text starts.
        qsizetype line = 0;
        QString lineBefore;
        /// The line's text in front of the replaced text.
        QString head;
        QString oldText;
        QString newText;
        /// The rest of the line the replaced text ends on.
        QString tail;
        QString lineAfter;
        /// The file is no longer what was previewed: nothing else is set.
        bool changed = false;
    };
    /// Reads the file (kept until another file is asked for). Never throws: a
    /// file that cannot be read counts as changed.
    Context context(int file, int replacement) const;

private:
    struct File {
        QString path;
        FileSystem::FileStamp stamp;
        QList<TextChange> changes;
        QList<bool> ticked;
        int tickedCount = 0;
    };
    struct Loaded {
        int file = -1;
        bool changed = true;
        QString oldText;
        QString newText;
        QList<TextChange> changes;
        QList<qsizetype> oldLineStarts;
    };
    const Loaded &load(int file) const;

    std::shared_ptr<const Matcher> m_matcher;
    QString m_replacement;
    QList<File> m_files;
    std::optional<RunRequest> m_request;
    int m_tickedFiles = 0;
    qint64 m_tickedReplacements = 0;
    qint64 m_total = 0;
    mutable Loaded m_loaded;
};
