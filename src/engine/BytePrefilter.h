#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

/// Rules a file out from its raw bytes, before it is decoded: most files of a
/// tree hold no match, and a byte search over them costs far less than decoding
/// them. It answers "may match" whenever it cannot be sure, so a file it passes
/// over is exactly one in which the buffer's search finds nothing.
class BytePrefilter {
public:
    /// A filter for the search text as the buffer's Find looks for it.
    BytePrefilter(const QString &needle, bool matchCase);

    /// Whether the filter can rule out anything; false for a search text holding
    /// a line break or a character beyond ASCII, which take the ordinary path.
    bool isActive() const { return m_active; }

    /// False only when the text these bytes decode to surely holds no match.
    bool mayMatch(QByteArrayView bytes) const;

private:
    bool m_active = false;
    bool m_matchCase = false;
    QByteArray m_needle;  ///< lower case when the case is ignored
    /// Encodings of characters beyond ASCII whose upper case is a letter of the
    /// needle ("\u0131" rises to "I", "\u017F" to "S"): their presence sends the
    /// file the ordinary way.
    QList<QByteArray> m_foreignForms;
};
