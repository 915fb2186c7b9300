#include "ListedTargets.h"

#include "MainForm.h"
#include "engine/FileNameFilter.h"
#include "ui/FileList.h"

#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

namespace {
QStringList unlisted(const FileList &list, const QStringList &files)
{
    QStringList missing = files;
    for (int i = 0; i < list.count(); ++i) missing.removeAll(list.item(i)->text());
    return missing;
}

// The first filter of the list that shows every name, -1 for none.
int filterShowing(const QComboBox &filters, const QStringList &names)
{
    for (int i = 0; i < filters.count(); ++i) {
        const FileNameFilter filter(filters.itemText(i));
        if (std::all_of(names.begin(), names.end(),
                        [&](const QString &name) { return filter.takesFile(name); }))
            return i;
    }
    return -1;
}

// Why no filter can bring name into the list; empty when one could.
QString shownByNoFilter(const MainForm &form, const QString &name)
{
    FileSystem::Entry entry;
    try {
        const QList<FileSystem::Entry> entries = FileSystem::listFolder(form.fileList->folder());
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const FileSystem::Entry &e) { return e.name == name; });
        if (found == entries.end())
            return QStringLiteral("%1 is gone from its folder.").arg(name);
        entry = *found;
    } catch (const Failure &failure) {
        return failure.description();
    }
    if (entry.kind != FileSystem::EntryKind::File)
        return QStringLiteral("%1 is not a regular file: the list shows none.").arg(name);
    if (entry.isHidden && !form.includeHiddenBox->isChecked())
        return QStringLiteral("%1 is a hidden file: tick \"Include hidden files\" to list it.")
            .arg(name);
    if (entry.name == QLatin1String(".git"))
        return QStringLiteral("%1 belongs to git and is never listed.").arg(name);
    return QString();
}

QString whyNotListed(const MainForm &form, const QString &name)
{
    const QString reason = shownByNoFilter(form, name);
    if (!reason.isEmpty())
        return reason;
    if (filterShowing(*form.filterBox, {name}) < 0)
        return QStringLiteral("None of the file filters shows %1: enter one that does.").arg(name);
    return QStringLiteral("git ignores %1, and \"Skip ignored files\" is ticked.").arg(name);
}
}  // namespace

QString ListedTargets::select(MainForm &form, const QStringList &files)
{
    FileList &list = *form.fileList;
    list.selectNames(files);
    QStringList missing = unlisted(list, files);
    if (missing.isEmpty())
        return QString();
    // Only the filter is changed here, and only for files another filter would show.
    const FileNameFilter current(list.pattern());
    QStringList filtered;
    for (const QString &name : std::as_const(missing)) {
        if (!current.takesFile(name) && shownByNoFilter(form, name).isEmpty())
            filtered << name;
    }
    const int showing = filtered.isEmpty() ? -1 : filterShowing(*form.filterBox, filtered);
    if (showing >= 0 && showing != form.filterBox->currentIndex()) {
        form.filterBox->setCurrentIndex(showing);
        list.selectNames(files);
        missing = unlisted(list, files);
    }
    return missing.isEmpty() ? QString() : whyNotListed(form, missing.first());
}
