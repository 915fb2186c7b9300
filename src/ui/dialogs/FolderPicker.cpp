#include "FolderPicker.h"

#include "BackupDialog.h"
#include "engine/DeleteFilesSearch.h"
#include "engine/FileOperations.h"
#include "engine/MainPort.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "ui/main/DriveList.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"

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

FolderPicker::FolderPicker(BackupDialog &backup, MainPort &main, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_backup(backup), m_main(main), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmFolders"));
    setWindowTitle(QStringLiteral(" Backup folder location"));
    setModal(true);
    resize(px(6600), px(5000));

    Folderbar = new QToolBar(this);
    Folderbar->setObjectName(QStringLiteral("Folderbar"));
    Folderbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const char *const tools[][3] = {
        {"savepath", "Save Path", " The currently selected folder will be your backup folder."},
        {"createFolder", "Create Folder", " Create a new backup folder."},
        {"deleteFolder", "Delete Folder", " Delete the currently selected folder."},
        {"exit", "Hide", " Return to the main form."}};
    for (const auto &tool : tools) {
        QAction *action = Folderbar->addAction(QString::fromLatin1(tool[1]));
        const QString key = QString::fromLatin1(tool[0]);
        const QString hint = QString::fromLatin1(tool[2]);
        action->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { Folderbar_Click(key); });
        connect(action, &QAction::hovered, this, [this, hint] { m_main.setStatusText(2, hint); });
    }

    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new FolderList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
    for (QWidget *list : {static_cast<QWidget *>(Dir1), static_cast<QWidget *>(File1)})
        list->installEventFilter(this);

    auto grid = new QGridLayout(this);
    grid->addWidget(Folderbar, 0, 0, 1, 2);
    grid->addWidget(Drive1, 1, 0);
    grid->addWidget(Dir1, 2, 0);
    grid->addWidget(File1, 1, 1, 2, 1);

    connect(Drive1, &QComboBox::activated, this, &FolderPicker::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &FolderPicker::Dir1_Change);
    Dir1->setPath(Paths::startFolder());
}

void FolderPicker::Drive1_Change()
{
    // A drive that cannot be opened leaves the lists where they were.
    if (!Dir1->setPath(Drive1->drive()))
        Drive1->showDriveOf(Dir1->path());
}

void FolderPicker::Dir1_Change()
{
    File1->setFolder(Dir1->path());
    Drive1->showDriveOf(Dir1->path());
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
            QStringLiteral(" Error"), QStringLiteral("Folderbar_Click-frmFolders.frm"),
            description);
    }
}

void FolderPicker::Folderbar_Click(const QString &key)
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
    trapped([this] { m_backup.Text1->setText(Dir1->path()); });
    trapped([this] {
        m_backup.Option1->setChecked(true);
        m_backup.ColorTheBoxes();
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
        path = FileOperations::childPath(Dir1->path(), *name);
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
        Dir1->refresh();
    });
}

void FolderPicker::deleteFolder()
{
    const QString path = Dir1->highlightedPath();
    const int row = Dir1->currentRow();
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
        if (Paths::isSameOrInside(m_backup.Text1->text(), path))
            m_backup.Text1->clear();
    });
    trapped([&] { FolderRemoval::removeTree(m_main, path); });
    trapped([&] {
        if (row > 0)
            Dir1->setCurrentRow(row - 1);
        Dir1->setPath(Dir1->highlightedPath());
        Dir1->refresh();
    });
}

void FolderPicker::leave()
{
    trapped([this] {
        if (m_backup.Text1->text().isEmpty()) {
            m_backup.Option2->setChecked(true);
            m_backup.ColorTheBoxes();
        }
    });
    hide();
}

bool FolderPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter && (watched == Dir1 || watched == File1))
        m_main.setStatusText(2, QString());
    return QDialog::eventFilter(watched, event);
}
