#pragma once

#include <QString>
#include <QStringView>

/// A replacement text as written into one file: its line breaks become the
/// line end of the match it replaces, else the file's most common one. A text
/// without line breaks is written as it stands.
class ReplacementText {
public:
    ReplacementText(const QString &replacement, QStringView fileText);

    /// The text that replaces matched.
    const QString &forMatch(QStringView matched);

    /// The line end a line break takes in the text replacing matched: the
    /// first one matched holds, else the file's most common.
    QString lineEndFor(QStringView matched);

private:
    const QString &written(const QString &lineEnd);

    QString m_replacement;
    QStringView m_fileText;
    bool m_hasLineBreak = false;
    QString m_fileLineEnd;  // worked out on first need: it scans the whole file
    QString m_lineEnd;      // the line end of the last text built
    QString m_written;
};
