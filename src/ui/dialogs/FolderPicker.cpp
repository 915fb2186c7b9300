#include "FolderPicker.h"

#include "BackupDialog.h"
#include "engine/FileOperations.h"
#include "engine/FolderRemoval.h"
#include "engine/MainPort.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>

namespace {
int px(int twips)
{
    return twips / 15;
}
}  // namespace

FolderPicker::FolderPicker(BackupDialog &backup, MainPort &main, RunEvents &events,
                           Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_backup(backup), m_main(main), m_events(events), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("folderPicker"));
    setWindowTitle(QStringLiteral(" Backup folder location"));
    setModal(true);
    resize(px(6600), px(5000));

    folderBar = new QToolBar(this);
    folderBar->setObjectName(QStringLiteral("folderBar"));
    folderBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const char *const tools[][3] = {
        {"savepath", "Save Path", " The currently selected folder will be your backup folder."},
        {"createFolder", "Create Folder", " Create a new backup folder."},
        {"deleteFolder", "Delete Folder", " Delete the currently selected folder."},
        {"exit", "Hide", " Return to the main form."}};
    for (const auto &tool : tools) {
        QAction *action = folderBar->addAction(QString::fromLatin1(tool[1]));
        const QString key = QString::fromLatin1(tool[0]);
        const QString hint = QString::fromLatin1(tool[2]);
        action->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { runFolderTool(key); });
        connect(action, &QAction::hovered, this, [this, hint] { m_main.setStatusText(2, hint); });
    }

    driveList = new DriveList(this);
    driveList->setObjectName(QStringLiteral("driveList"));
    folderList = new FolderList(this);
    folderList->setObjectName(QStringLiteral("folderList"));
    fileList = new FileList(this);
    fileList->setObjectName(QStringLiteral("fileList"));
    for (QWidget *list : {static_cast<QWidget *>(folderList), static_cast<QWidget *>(fileList)})
        list->installEventFilter(this);

    auto grid = new QGridLayout(this);
    grid->addWidget(folderBar, 0, 0, 1, 2);
    grid->addWidget(driveList, 1, 0);
    grid->addWidget(folderList, 2, 0);
    grid->addWidget(fileList, 1, 1, 2, 1);

    connect(driveList, &QComboBox::activated, this, &FolderPicker::driveChosen);
    connect(folderList, &FolderList::pathChanged, this, &FolderPicker::folderChanged);
    folderList->setPath(Paths::startFolder());
}

void FolderPicker::openAt(const QString &path)
{
    folderList->setPath(path);
    folderList->refresh();
    fileList->refresh();
}

void FolderPicker::driveChosen()
{
    // A drive that cannot be opened leaves the lists where they were.
    if (!folderList->setPath(driveList->drive()))
        driveList->showDriveOf(folderList->path());
}

void FolderPicker::folderChanged()
{
    fileList->setFolder(folderList->path());
    driveList->showDriveOf(folderList->path());
}

void FolderPicker::trapped(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &e) {
        const Failure *failure = dynamic_cast<const Failure *>(&e);
        const QString description =
            failure ? failure->description() : QString::fromLocal8Bit(e.what());
        ErrorLog::reportFailure(
            m_dialogs,
            ErrorLog::exactErrorMessage(
                QStringLiteral("An error occurred while loading the program."), description),
            QStringLiteral(" Error"), LogSource::folderPicker, description);
    }
}

void FolderPicker::runFolderTool(const QString &key)
{
    if (key == QLatin1String("savepath"))
        savePath();
    else if (key == QLatin1String("createFolder"))
        createFolder();
    else if (key == QLatin1String("deleteFolder"))
        deleteFolder();
    else if (key == QLatin1String("exit"))
        leave();
}

void FolderPicker::savePath()
{
    trapped([this] { m_backup.specifiedPathEdit->setText(folderList->path()); });
    trapped([this] {
        m_backup.specifyOption->setChecked(true);
        m_backup.shadeBoxes();
    });
    hide();
}

void FolderPicker::createFolder()
{
    const std::optional<QString> name =
        m_dialogs.inputText(QStringLiteral("Please enter the name for the new folder."),
                            QStringLiteral(" New folder"), QString());
    if (!name || name->isEmpty())
        return;
    QString path;
    try {
        path = FileOperations::childPath(folderList->path(), *name);
    } catch (const Failure &) {
        m_dialogs.message(QStringLiteral("A folder name may not hold \"/\" nor be \".\" or "
                                         "\"..\": the new folder is made inside the one shown."),
                          QStringLiteral(" New folder"), MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    trapped([&] {
        if (FileSystem::exists(path))
            return;
        if (!FileSystem::makeFolder(path))
            throw Failure(QStringLiteral("Cannot create the folder \"%1\".").arg(path));
        folderList->refresh();
    });
}

void FolderPicker::deleteFolder()
{
    const QString path = folderList->highlightedPath();
    const int row = folderList->currentRow();
    try {
        FolderRemoval::refuseProtected(path);
    } catch (const Failure &refused) {
        m_dialogs.message(refused.description(), QStringLiteral(" Delete folder?"),
                          MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    const MessageAnswer answer = m_dialogs.message(
        QStringLiteral("Are you sure you want to delete ") + path + QStringLiteral("?\r") +
            QStringLiteral(
                "This folder will be permanently deleted, not sent to the trash.  Continue?"),
        QStringLiteral(" Delete folder?"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::No);
    if (answer != MessageAnswer::Yes)
        return;
    // A backup folder inside the deleted tree would be recreated by the next backup.
    trapped([&] {
        if (Paths::isSameOrInside(m_backup.specifiedPathEdit->text(), path))
            m_backup.specifiedPathEdit->clear();
    });
    trapped([&] { FolderRemoval::removeTree(m_main, m_events, path); });
    trapped([&] {
        if (row > 0)
            folderList->setCurrentRow(row - 1);
        folderList->setPath(folderList->highlightedPath());
        folderList->refresh();
    });
}

void FolderPicker::leave()
{
    trapped([this] {
        if (m_backup.specifiedPathEdit->text().isEmpty()) {
            m_backup.defaultOption->setChecked(true);
            m_backup.shadeBoxes();
        }
    });
    hide();
}

bool FolderPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter && (watched == folderList || watched == fileList))
        m_main.setStatusText(2, QString());
    return QDialog::eventFilter(watched, event);
}
