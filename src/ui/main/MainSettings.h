#pragma once

#include <QString>
#include <QStringList>

/// Where the main window keeps its settings between sessions, and how each one
/// is written and read back.
namespace MainSettings {

/// An option box's stored state, unchecked when none is stored; throws Failure
/// when the stored text is not 0 or 1.
bool option(const QString &name);
void setOption(const QString &name, bool checked);

/// The folder shown last; empty when none is stored.
QString lastFolder();
void setLastFolder(const QString &path);

/// The stored file filters, at most the first ten; the defaults when none is stored.
QStringList filters();
/// Stores the filters over the ones there, each at its place.
void setFilters(const QStringList &filters);
/// Replaces every stored filter with these, up to the first that repeats the one before.
void replaceFilters(const QStringList &filters);

/// The filter chosen last; empty when none is stored.
QString lastFilter();
void setLastFilter(const QString &filter);

/// "Normal" or "Fuzzy" as stored; "Normal" when none is.
QString searchType();
void setSearchType(bool fuzzy);

}  // namespace MainSettings
