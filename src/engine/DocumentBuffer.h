#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/TextCodec.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

class Matcher;

/// One loaded file held as text: every run loads, searches, changes and saves
/// files through it, and the viewer shows it. Loading and saving are lossless:
/// the file's encoding, BOM, line ends and any undecodable bytes come back
/// byte for byte.
class DocumentBuffer : public QObject {
    Q_OBJECT

public:
    /// Find options, as the runs pass them; 0 means "left out".
    static constexpr int WholeWord = 2;
    static constexpr int MatchCase = 4;

    explicit DocumentBuffer(QObject *parent = nullptr);

    /// Replaces the text with the whole file; fileName() becomes path. Throws Failure,
    /// FileTooLarge (nothing loaded) past LoadLimit::maxFileSize().
    void load(const QString &path);
    /// load for a file whose bytes the caller has already read.
    void loadBytes(const QString &path, const QByteArray &bytes);
    /// load through a held folder, without following a link; remembers
    /// the file and what it was when read, for saveChecked().
    void loadFrom(const FileSystem::FileAt &file);
    /// loadFrom for a file whose bytes the caller has read (stamp: when).
    void loadBytes(const FileSystem::FileAt &file, const QByteArray &bytes,
                   const FileSystem::FileStamp &stamp);
    /// The first match of a search text in a file's text, found while it was written.
    struct KnownMatch {
        QString what;
        int options = 0;
        qsizetype position = -1;
        qsizetype length = 0;
    };
    /// For a file a run replaced as it read it, never holding its text: the
    /// buffer takes its name and encoding and holds no text, as if it were
    /// empty, but find() from the start for known.what with known.options
    /// selects known's match, as the run's closing search expects; a viewer
    /// that is to show the file loads it then.
    void holdUnloaded(const QString &path, TextEncoding encoding, const KnownMatch &known);
    /// After a load: known is the first match in this very text, found by
    /// whoever decoded it, so find() from the start need not search again.
    void knowFirstMatch(const KnownMatch &known) { m_known = known; }
    /// After a load: whether this very text's head holds a NUL, as whoever
    /// decoded it found; nullopt until told, and again once the text changes.
    void knowBinaryHead(bool binary) { m_binaryHead = binary; }
    std::optional<bool> knownBinaryHead() const { return m_binaryHead; }
    /// loadBytes for a file whose bytes (size of them) the caller has also decoded.
    void loadDecoded(const FileSystem::FileAt &file, qint64 size, TextCodec::Decoded &&decoded,
                     const FileSystem::FileStamp &stamp);
    /// Whether the text came from loadFrom (the last load).
    bool hasSource() const { return m_source.isValid(); }
    const FileSystem::FileAt &source() const { return m_source; }
    /// What the file was when loadFrom read it; invalid after other loads.
    const FileSystem::FileStamp &stamp() const { return m_stamp; }
    /// save back into the file loadFrom read, relative to its folder and
    /// only while it is still what was read; otherwise Failure, file untouched.
    void saveChecked(FileSystem::PendingSaves *pending = nullptr);
    /// Writes the text to path in the encoding it was loaded with, atomically.
    /// Throws Failure (file untouched) when the encoding cannot hold the text.
    /// With pending, the file is written now and put in place by pending's commit().
    void save(const QString &path, FileSystem::PendingSaves *pending = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    /// Hands the text over and leaves the buffer empty, without a signal: the
    /// caller puts the changed text back with setText.
    QString takeText() { return std::exchange(m_text, QString()); }

    /// First match of what at or after start (0-based) with options 0, 2, 4 or 6;
    /// selects it and returns its position, or -1 without touching the selection.
    /// A line break in what matches any one line end (CR LF, LF or CR).
    qint32 find(const QString &what, qint32 start, int options = 0);
    /// Find with a search type's matcher (a regular expression, say).
    qint32 findWith(const Matcher &matcher, qint32 start);

    qint32 selectionStart() const { return m_selStart; }
    void setSelectionStart(qint32 start);
    qint32 selectionLength() const { return m_selLength; }
    void setSelectionLength(qint32 length);
    QString selectedText() const;
    /// Replaces the selected text (the viewer's manual replacement); signals
    /// stretchReplaced, not textReplaced.
    void setSelectedText(const QString &text);

    const QString &fileName() const { return m_fileName; }
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }

signals:
    /// The whole text was replaced (load or setText).
    void textReplaced();
    void selectionChanged();
    /// The text from position on that was removed is now inserted; the rest of
    /// the text is as it was.
    void stretchReplaced(qint32 position, const QString &removed, const QString &inserted);

private:
    /// Selects a match and returns its position; -1 (selection kept) for none.
    qint32 selectMatch(qsizetype position, qsizetype length);
    void loadDecoded(const QString &path, TextCodec::Decoded &&decoded);
    FileSystem::PieceSource encodedPieces(const QString &path, const QString &text);

    FileSystem::FileAt m_source;
    FileSystem::FileStamp m_stamp;

    QString m_text;
    QString m_fileName;
    TextEncoding m_encoding = TextEncoding::Utf8;
    qint32 m_selStart = 0;
    qint32 m_selLength = 0;
    std::optional<KnownMatch> m_known;
    std::optional<bool> m_binaryHead;
};
