#include "SettingsStore.h"

#include <QSettings>

#include <memory>

namespace {

QString &storeFileOverride()
{
    static QString path;
    return path;
}

// One QSettings per operation: QSettings caches the parsed file process-wide,
// so this stays cheap and always sees the current test file.
std::unique_ptr<QSettings> openStore()
{
    if (!storeFileOverride().isEmpty())
        return std::make_unique<QSettings>(storeFileOverride(), QSettings::IniFormat);
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Scrivlane"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Scrivlane"), QStringLiteral("Scrivlane"));
#endif
}

// "Software\Scrivlane\Find\Normal" -> "Find/Normal": the store is already rooted
// at the program's key, and QSettings separates groups with "/".
QString groupPath(const QString &keyPath)
{
    static const QString root = QStringLiteral("Software\\Scrivlane");
    QString group = keyPath;
    if (group.startsWith(root, Qt::CaseInsensitive))
        group = group.mid(root.size());
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.startsWith(QLatin1Char('/'))) group.remove(0, 1);
    while (group.endsWith(QLatin1Char('/'))) group.chop(1);
    return group;
}

QString settingsKey(const QString &keyPath, const QString &valueName)
{
    const QString group = groupPath(keyPath);
    return group.isEmpty() ? valueName : group + QLatin1Char('/') + valueName;
}

}  // namespace

QString SettingsStore::readString(Hive, const QString &keyPath, const QString &valueName,
                                  const QString &defaultText)
{
    try {
        const auto store = openStore();
        if (store->status() != QSettings::NoError)
            return defaultText;
        const QVariant value = store->value(settingsKey(keyPath, valueName));
        // Only text counts; numbers or lists stored by another tool read as the default.
        if (!value.isValid() || value.typeId() != QMetaType::QString)
            return defaultText;
        QString text = value.toString();
        const qsizetype nul = text.indexOf(QChar(u'\0'));
        if (nul >= 0)
            text.truncate(nul);
        return text;
    } catch (...) {
        return defaultText;
    }
}

void SettingsStore::writeString(Hive, const QString &keyPath, const QString &valueName,
                                const QString &text)
{
    try {
        const auto store = openStore();
        store->setValue(settingsKey(keyPath, valueName), text);
        // Persist at once so that a crash loses nothing.
        store->sync();
    } catch (...) {
    }
}

void SettingsStore::deleteKey(Hive, const QString &keyPath)
{
    try {
        const auto store = openStore();
        const QString group = groupPath(keyPath);
        if (group.isEmpty())
            store->clear();
        else
            store->remove(group);
        store->sync();
    } catch (...) {
    }
}

void SettingsStore::setStoreFileForTesting(const QString &iniPath)
{
    storeFileOverride() = iniPath;
}
