#include "TreeWalk.h"

#include "KeptFiles.h"

#include <QScopeGuard>

#include <vector>

namespace {

struct Level {
    FileSystem::Folder folder;
    QStringList subfolders;
    qsizetype next = 0;  // the subfolder to enter next
};

}  // namespace

void FileSystem::TreeWalk::run(const Folder &top) const
{
    const auto passedOver = [this](const Failure &failure) {
        return passOver && passOver(failure);
    };
    std::vector<Level> stack;
    // Deepest first, so that letting go of a stopped walk frees one handle at
    // a time instead of a chain of parents in nested calls.
    const auto unwind = qScopeGuard([&] {
        while (!stack.empty()) stack.pop_back();
    });
    stack.push_back({top, {}, 0});
    visit(*top, stack.back().subfolders);
    while (!stack.empty()) {
        if (stack.back().next == stack.back().subfolders.size()) {
            const Folder done = stack.back().folder;
            stack.pop_back();
            if (stack.empty())
                return;
            Level &parent = stack.back();
            try {
                // The parent's descriptor may have been set aside on the way down.
                parent.folder->reopenFrom(*done);
            } catch (const Failure &failure) {
                if (!passedOver(failure))
                    throw;
                continue;
            }
            if (left)
                left(*parent.folder, parent.subfolders.at(parent.next - 1));
            continue;
        }
        if (isStopped && isStopped())
            return;
        Level &level = stack.back();
        const QString name = level.subfolders.at(level.next++);
        try {
            Level child{level.folder->openChild(name), {}, 0};
            // The originals Restore keeps are never searched nor replaced.
            if (KeptFiles::isStore(name, *child.folder))
                continue;
            visit(*child.folder, child.subfolders);
            stack.push_back(std::move(child));
        } catch (const Failure &failure) {
            if (!passedOver(failure))
                throw;
        }
    }
}
