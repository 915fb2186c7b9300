#include "FileNameFilter.h"

#include "RunSupport.h"

namespace {
bool anyTakes(const QStringList &patterns, const QString &name)
{
    for (const QString &pattern : patterns) {
        if (RunSupport::matchesWildcard(name, pattern))
            return true;
    }
    return false;
}

// A pattern is matched against names only: a path separator or a control
// character can never match and would garble the stored list.
bool isNamePattern(QStringView pattern)
{
    for (const QChar c : pattern) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}
}  // namespace

FileNameFilter::FileNameFilter(const QString &text)
{
    for (const QString &piece : text.split(QLatin1Char(';'))) {
        if (!isExclusion(piece))
            m_patterns << piece;
        else if (piece.endsWith(QLatin1Char('/')))
            m_folders << piece.mid(1, piece.size() - 2);
        else
            m_files << piece.mid(1);
    }
    if (m_patterns.isEmpty())
        m_patterns << QString();
}

bool FileNameFilter::isExclusion(const QString &piece)
{
    return piece.startsWith(QLatin1Char('!'));
}

bool FileNameFilter::isValid(const QString &text)
{
    for (const QString &piece : text.split(QLatin1Char(';'))) {
        QStringView pattern(piece);
        if (isExclusion(piece)) {
            pattern = pattern.sliced(1);
            if (pattern.endsWith(u'/'))
                pattern.chop(1);
            if (pattern.isEmpty())
                return false;
        }
        if (!isNamePattern(pattern))
            return false;
    }
    return true;
}

bool FileNameFilter::takesFile(const QString &name) const
{
    return anyTakes(m_patterns, name) && !excludesFile(name);
}

bool FileNameFilter::excludesFile(const QString &name) const
{
    return anyTakes(m_files, name);
}

bool FileNameFilter::excludesFolder(const QString &name) const
{
    return anyTakes(m_folders, name);
}
