#include "MainSettings.h"

#include "platform/Failure.h"
#include "settings/SettingsStore.h"

using SettingsStore::HKEY_CURRENT_USER;

namespace {
const QString KeyOptions = QStringLiteral("Software\\Scrivlane\\Options");
const QString KeyLastDir = QStringLiteral("Software\\Scrivlane\\LastDir");
const QString KeySearchType = QStringLiteral("Software\\Scrivlane\\SearchType");
const QString KeyFilters = QStringLiteral("Software\\Scrivlane\\File Filters");
// Apart from the filter list, whose key is deleted whenever the list is rewritten.
const QString KeyLastFilter = QStringLiteral("Software\\Scrivlane\\LastFilter");

QString read(const QString &key, const QString &value, const QString &defaultText = QString())
{
    return SettingsStore::readString(HKEY_CURRENT_USER, key, value, defaultText);
}

void write(const QString &key, const QString &value, const QString &text)
{
    SettingsStore::writeString(HKEY_CURRENT_USER, key, value, text);
}

QString filterName(int index)
{
    return QStringLiteral("Filter") + QString::number(index);
}
}  // namespace

namespace MainSettings {

bool option(const QString &name)
{
    bool ok = false;
    const int value = read(KeyOptions, name, QStringLiteral("0")).trimmed().toInt(&ok);
    if (!ok)
        throw Failure(QStringLiteral("Type mismatch"));
    if (value != 0 && value != 1)
        throw Failure(QStringLiteral("Invalid property value"));
    return value == 1;
}

void setOption(const QString &name, bool checked)
{
    write(KeyOptions, name, checked ? QStringLiteral("1") : QStringLiteral("0"));
}

QString lastFolder()
{
    return read(KeyLastDir, QStringLiteral("Dir"));
}

void setLastFolder(const QString &path)
{
    write(KeyLastDir, QStringLiteral("Dir"), path);
}

QStringList filters()
{
    QStringList filters;
    // More filters may be stored; only the first ten are read back.
    for (int i = 0; i < 10; ++i) {
        const QString filter = read(KeyFilters, filterName(i));
        if (!filter.isEmpty())
            filters << filter;
    }
    if (filters.isEmpty())
        filters = {QStringLiteral("*.htm"), QStringLiteral("*.txt"), QStringLiteral("*.ini"),
                   QStringLiteral("*.*")};
    return filters;
}

void setFilters(const QStringList &filters)
{
    for (int i = 0; i < filters.size(); ++i) write(KeyFilters, filterName(i), filters.at(i));
}

void replaceFilters(const QStringList &filters)
{
    SettingsStore::deleteKey(HKEY_CURRENT_USER, KeyFilters);
    for (int i = 0; i < filters.size(); ++i) {
        if (i > 0 && filters.at(i) == filters.at(i - 1))
            break;
        write(KeyFilters, filterName(i), filters.at(i));
    }
}

QString lastFilter()
{
    return read(KeyLastFilter, QStringLiteral("Filter"));
}

void setLastFilter(const QString &filter)
{
    write(KeyLastFilter, QStringLiteral("Filter"), filter);
}

QString searchType()
{
    return read(KeySearchType, QStringLiteral("Type"), QStringLiteral("Normal"));
}

void setSearchType(bool fuzzy)
{
    write(KeySearchType, QStringLiteral("Type"),
          fuzzy ? QStringLiteral("Fuzzy") : QStringLiteral("Normal"));
}

}  // namespace MainSettings
