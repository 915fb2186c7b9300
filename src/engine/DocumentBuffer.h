#pragma once

#include "platform/TextCodec.h"

#include <QObject>
#include <QString>

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

    /// Replaces the text with the whole file; FileName becomes path. Throws Failure.
    void LoadFile(const QString &path);
    /// Writes the text to path in the encoding it was loaded with, atomically.
    /// Throws Failure (file untouched) when the encoding cannot hold the text.
    void SaveFile(const QString &path);

    const QString &Text() const { return m_text; }
    void setText(const QString &text);

    /// First match of what at or after start (0-based) with options 0, 2, 4 or 6;
    /// selects it and returns its position, or -1 without touching the selection.
    /// A line break in what matches any one line end (CR LF, LF or CR).
    qint32 Find(const QString &what, qint32 start, int options = 0);

    qint32 SelStart() const { return m_selStart; }
    void setSelStart(qint32 start);
    qint32 SelLength() const { return m_selLength; }
    void setSelLength(qint32 length);
    QString SelText() const;
    /// Replaces the selected text (the viewer's manual replacement); signals
    /// stretchReplaced, not textReplaced.
    void setSelText(const QString &text);

    const QString &FileName() const { return m_fileName; }
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
    QString m_text;
    QString m_fileName;
    TextEncoding m_encoding = TextEncoding::Utf8;
    qint32 m_selStart = 0;
    qint32 m_selLength = 0;
};
