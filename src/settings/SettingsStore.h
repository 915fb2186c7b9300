#pragma once

#include <QString>

/// The per-user settings store: string values under key paths such as
/// "Software\Scrivlane\Options". Native QSettings (the registry on Windows, an
/// INI file in the user's config folder elsewhere). Never fails loudly.
namespace SettingsStore {

enum class Hive { CurrentUser };
constexpr Hive HKEY_CURRENT_USER = Hive::CurrentUser;

/// The stored text, or defaultText when the key or value is missing or unreadable.
QString readString(Hive hive, const QString &keyPath, const QString &valueName,
                   const QString &defaultText);
/// Creates the key as needed and stores the text; failures are ignored.
void writeString(Hive hive, const QString &keyPath, const QString &valueName, const QString &text);
/// Deletes the key with all its values; a missing key is no error.
void deleteKey(Hive hive, const QString &keyPath);

/// Backs the store with this INI file instead (tests); empty restores the native store.
void setStoreFileForTesting(const QString &iniPath);

}  // namespace SettingsStore
