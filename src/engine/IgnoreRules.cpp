#include "IgnoreRules.h"

#include "GitRepository.h"
#include "IgnorePattern.h"

#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>

namespace {
const char kIgnoreFile[] = ".gitignore";

QList<IgnorePattern> rulesAt(int folderDescriptor)
{
    return IgnorePattern::fromFile(GitRepository::readIgnoreFileAt(folderDescriptor, kIgnoreFile));
}

QList<IgnorePattern> rulesIn(const QString &folder)
{
    const QByteArray path =
        FileSystem::nativePath(folder + QLatin1Char('/') + QLatin1String(kIgnoreFile));
    return IgnorePattern::fromFile(GitRepository::readIgnoreFileAt(AT_FDCWD, path.constData()));
}

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}
}  // namespace

/// The rules that lie outside the tree's folders, searched after every ".gitignore".
struct IgnoreRules::Repository {
    /// The user's excludes file, then the repository's own exclude file: the
    /// search runs from the end, so the repository's file wins.
    QList<IgnorePattern> rules;
    /// core.ignorecase: patterns take names in any case of ASCII letters.
    bool ignoreCase = false;
};

/// One folder of a working tree as a walk reaches it.
struct IgnoreRules::Node {
    std::shared_ptr<const Node> parent;            ///< null at the working tree's top
    std::shared_ptr<const Repository> repository;  ///< null outside any working tree
    QByteArray relative;         ///< path from the top, with a trailing "/" ("" at the top)
    QList<IgnorePattern> rules;  ///< of this folder's ".gitignore"
    bool ignored = false;        ///< the folder or one above it is ignored

    bool ignores(QByteArrayView name, bool isFolder) const
    {
        if (!repository)
            return false;
        if (ignored)
            return true;
        QByteArray path = relative;
        path += name;
        for (const Node *folder = this; folder; folder = folder->parent.get()) {
            const QByteArrayView below = QByteArrayView(path).sliced(folder->relative.size());
            for (auto rule = folder->rules.crbegin(); rule != folder->rules.crend(); ++rule) {
                if (rule->matches(below, name, isFolder, repository->ignoreCase))
                    return !rule->isNegative();
            }
        }
        for (auto rule = repository->rules.crbegin(); rule != repository->rules.crend(); ++rule) {
            if (rule->matches(path, name, isFolder, repository->ignoreCase))
                return !rule->isNegative();
        }
        return false;
    }

    std::shared_ptr<Node> child(const std::shared_ptr<const Node> &self,
                                const QByteArray &name) const
    {
        auto node = std::make_shared<Node>();
        node->parent = self;
        node->repository = repository;
        node->relative = relative + name + '/';
        node->ignored = ignores(name, true);
        return node;
    }
};

IgnoreRules::IgnoreRules() = default;
IgnoreRules::~IgnoreRules() = default;

std::shared_ptr<const IgnoreRules::Repository> IgnoreRules::repositoryAt(
    const QString &top, const QString &commonFolder)
{
    auto repository = std::make_shared<Repository>();
    repository->ignoreCase = GitRepository::ignoresCase({top, commonFolder});
    const QString excludes = GitRepository::excludesFile({top, commonFolder});
    if (!excludes.isEmpty())
        repository->rules = IgnorePattern::fromFile(GitRepository::readIgnoreFile(excludes));
    repository->rules += IgnorePattern::fromFile(
        GitRepository::readIgnoreFile(commonFolder + QStringLiteral("/info/exclude")));
    return repository;
}

std::shared_ptr<const IgnoreRules::Node> IgnoreRules::nodeFromTop(const QString &realFolder)
{
    const auto location = GitRepository::containing(realFolder);
    if (!location)
        return std::make_shared<const Node>();
    auto node = std::make_shared<Node>();
    node->repository = repositoryAt(location->top, location->commonFolder);
    node->rules = rulesIn(location->top);
    const QString below = QDir(location->top).relativeFilePath(realFolder);
    QString folder = location->top;
    std::shared_ptr<const Node> current = node;
    // The folders between the top and the walk's start, read by name: they lie outside the walk.
    for (const QString &name : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (name == QLatin1String("."))
            continue;
        folder += QLatin1Char('/') + name;
        auto next = current->child(current, FileSystem::nativePath(name));
        if (!next->ignored)
            next->rules = rulesIn(folder);
        current = next;
    }
    return current;
}

std::shared_ptr<const IgnoreRules::Node> IgnoreRules::nodeFor(FileSystem::FolderHandle &folder)
{
    if (&folder == m_lastFolder && folder.path() == m_lastPath)
        return m_lastNode;
    const QString path = folder.path();
    std::shared_ptr<const Node> node = m_nodes.value(path);
    if (!node) {
        const QString trimmed = withoutTrailingSeparator(path);
        const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
        const std::shared_ptr<const Node> parent =
            slash < 0 ? nullptr : m_nodes.value(trimmed.left(slash + 1));
        if (!parent) {
            node = nodeFromTop(folder.realPath());
        } else if (const auto own = GitRepository::at(trimmed, folder.descriptor())) {
            // A repository of its own inside the tree: its rules alone apply below.
            auto top = std::make_shared<Node>();
            top->repository = repositoryAt(own->top, own->commonFolder);
            top->rules = rulesAt(folder.descriptor());
            node = top;
        } else if (!parent->repository) {
            node = parent;
        } else {
            auto child = parent->child(parent, FileSystem::nativePath(trimmed.mid(slash + 1)));
            if (!child->ignored)
                child->rules = rulesAt(folder.descriptor());
            node = child;
        }
        m_nodes.insert(path, node);
    }
    m_lastFolder = &folder;
    m_lastPath = path;
    m_lastNode = node;
    return node;
}

bool IgnoreRules::isIgnored(FileSystem::FolderHandle &folder, const QString &name, bool isFolder)
{
    return nodeFor(folder)->ignores(FileSystem::nativePath(name), isFolder);
}

bool IgnoreRules::isIgnored(const QString &folderPath, const QString &name, bool isFolder)
{
    m_lastFolder = nullptr;
    const QString key = QStringLiteral("listing:") + folderPath;
    std::shared_ptr<const Node> node = m_nodes.value(key);
    if (!node) {
        const QString real = QFileInfo(folderPath).canonicalFilePath();
        node = real.isEmpty() ? std::make_shared<const Node>() : nodeFromTop(real);
        m_nodes.insert(key, node);
    }
    return node->ignores(FileSystem::nativePath(name), isFolder);
}
