#include "GitRepository.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

QByteArray readOpen(int fd)
{
    QByteArray content;
    struct stat st {};
    if (fd < 0)
        return content;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            content.append(buffer, n);
        }
    }
    ::close(fd);
    return content;
}

QString environment(const char *name)
{
    return QFile::decodeName(qgetenv(name));
}

QString home()
{
    const QString fromEnvironment = environment("HOME");
    return fromEnvironment.isEmpty() ? QDir::homePath() : fromEnvironment;
}

QString withHome(const QString &path)
{
    if (path.startsWith(QLatin1String("~/")))
        return home() + path.mid(1);
    return path;
}

QString configFolder()
{
    const QString xdg = environment("XDG_CONFIG_HOME");
    return xdg.isEmpty() ? home() + QStringLiteral("/.config") : xdg;
}

// The value of one configuration line "key = value": quotes removed, escapes
// taken, a comment after the value dropped.
QString configValue(QByteArrayView raw)
{
    QByteArray value;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            value += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else if (!quoted && (c == '#' || c == ';')) {
            break;
        } else {
            value += c;
        }
    }
    return QFile::decodeName(value.trimmed());
}

// The value core.KEY (key in lower case) takes in one configuration file,
// when it sets it (the last one wins); a key without "= value" is "true".
std::optional<QString> coreValueIn(const QString &configPath, QByteArrayView key)
{
    std::optional<QString> found;
    bool inCore = false;
    const QByteArray content = GitRepository::readIgnoreFile(configPath);
    for (QByteArrayView line : content.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            inCore = close > 0 &&
                     line.sliced(1, close - 1).trimmed().compare("core", Qt::CaseInsensitive) == 0;
            if (close < 0 || !inCore)
                continue;
            line = line.sliced(close + 1).trimmed();
        }
        if (!inCore)
            continue;
        const qsizetype equals = line.indexOf('=');
        const QByteArrayView name = (equals < 0 ? line : line.first(equals)).trimmed();
        if (name.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        found =
            equals < 0 ? QStringLiteral("true") : configValue(line.sliced(equals + 1).trimmed());
    }
    return found;
}

// The configuration files in the order they are read, the nearest last.
QStringList configFiles(const GitRepository::Location &location)
{
    QStringList files;
    if (qgetenv("GIT_CONFIG_NOSYSTEM").isEmpty())
        files << QStringLiteral("/etc/gitconfig");
    const QString global = environment("GIT_CONFIG_GLOBAL");
    if (!global.isEmpty())
        files << global;
    else
        files << configFolder() + QStringLiteral("/git/config")
              << home() + QStringLiteral("/.gitconfig");
    files << location.commonFolder + QStringLiteral("/config");
    return files;
}

// core.KEY as the nearest configuration file sets it.
std::optional<QString> coreValue(const GitRepository::Location &location, QByteArrayView key)
{
    std::optional<QString> chosen;
    for (const QString &config : configFiles(location)) {
        if (auto value = coreValueIn(config, key))
            chosen = value;
    }
    return chosen;
}

QString resolvedAgainst(const QString &folder, const QString &path)
{
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

}  // namespace

QByteArray GitRepository::readIgnoreFile(const QString &path)
{
    return readOpen(
        ::open(FileSystem::nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

QByteArray GitRepository::readIgnoreFileAt(int folderDescriptor, const char *name)
{
    return readOpen(
        ::openat(folderDescriptor, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

std::optional<GitRepository::Location> GitRepository::at(const QString &folder,
                                                         int folderDescriptor)
{
    const int base = folderDescriptor >= 0 ? folderDescriptor : AT_FDCWD;
    const QByteArray dotGit = folderDescriptor >= 0
                                  ? QByteArray(".git")
                                  : FileSystem::nativePath(folder + QStringLiteral("/.git"));
    struct stat st {};
    if (fstatat(base, dotGit.constData(), &st, 0) != 0)
        return std::nullopt;
    const QString top = QDir::cleanPath(folder);
    QString gitFolder;
    if (S_ISDIR(st.st_mode)) {
        gitFolder = top + QStringLiteral("/.git");
        struct stat head {};
        if (stat(FileSystem::nativePath(gitFolder + QStringLiteral("/HEAD")).constData(), &head) !=
            0)
            return std::nullopt;
    } else if (S_ISREG(st.st_mode)) {
        // A linked checkout or a submodule: ".git" names the repository folder.
        const QByteArray link =
            readOpen(::openat(base, dotGit.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!link.startsWith("gitdir:"))
            return std::nullopt;
        gitFolder = resolvedAgainst(top, QFile::decodeName(link.mid(7).trimmed()));
    } else {
        return std::nullopt;
    }
    QString common = gitFolder;
    const QByteArray commonLink = readIgnoreFile(gitFolder + QStringLiteral("/commondir"));
    if (!commonLink.trimmed().isEmpty())
        common = resolvedAgainst(gitFolder, QFile::decodeName(commonLink.trimmed()));
    return Location{top, common};
}

std::optional<GitRepository::Location> GitRepository::containing(const QString &folder)
{
    QString current = QDir::cleanPath(folder);
    struct stat first {};
    if (stat(FileSystem::nativePath(current).constData(), &first) != 0)
        return std::nullopt;
    for (;;) {
        if (auto location = at(current))
            return location;
        const QString parent = QFileInfo(current).path();
        struct stat st {};
        // The search stops at the edge of the file system, as version control's does.
        if (parent == current || stat(FileSystem::nativePath(parent).constData(), &st) != 0 ||
            st.st_dev != first.st_dev)
            return std::nullopt;
        current = parent;
    }
}

QString GitRepository::excludesFile(const Location &location)
{
    if (const std::optional<QString> chosen = coreValue(location, "excludesfile")) {
        const QString path = withHome(*chosen);
        return path.isEmpty() ? QString() : resolvedAgainst(location.top, path);
    }
    return configFolder() + QStringLiteral("/git/ignore");
}

bool GitRepository::ignoresCase(const Location &location)
{
    const std::optional<QString> value = coreValue(location, "ignorecase");
    if (!value)
        return false;
    const QString v = value->toLower();
    bool isNumber = false;
    const int number = v.toInt(&isNumber);
    return isNumber ? number != 0
                    : v == QLatin1String("true") || v == QLatin1String("yes") ||
                          v == QLatin1String("on");
}
