#include "BackupDialog.h"

#include "FolderPicker.h"
#include "engine/MainPort.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/main/FolderList.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString KeyBackup = QStringLiteral("Software\\Scrivlane\\Backup");
const QString ValuePath = QStringLiteral("Path");

// The house's twips-to-pixels rule.
int px(int twips)
{
    return twips / 15;
}

void shade(QLineEdit *box, bool active)
{
    box->setEnabled(active);
    QPalette palette = box->palette();
    const QPalette app = QApplication::palette();
    palette.setColor(QPalette::All, QPalette::Base,
                     active ? app.color(QPalette::Active, QPalette::Base)
                            : app.color(QPalette::Active, QPalette::Button));
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     palette.color(QPalette::Active, QPalette::Base));
    box->setPalette(palette);
}
}  // namespace

BackupDialog::BackupDialog(MainPort &main, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_main(main), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmBackup"));
    setWindowTitle(QStringLiteral(" Specify Backup folder"));
    setModal(true);
    resize(px(6000), px(2200));

    Option2 = new QRadioButton(QStringLiteral("Use default location"), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option1 = new QRadioButton(QStringLiteral("Specify location"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    cmdPath = new QPushButton(QStringLiteral("Search"), this);
    cmdPath->setObjectName(QStringLiteral("cmdPath"));
    cmdPath->setAutoDefault(false);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto grid = new QGridLayout(this);
    grid->addWidget(Option2, 0, 0, 1, 2);
    grid->addWidget(Text2, 1, 0, 1, 2);
    grid->addWidget(Option1, 2, 0, 1, 2);
    grid->addWidget(Text1, 3, 0);
    grid->addWidget(cmdPath, 3, 1);
    grid->addWidget(cmdOK, 4, 1);

    const std::pair<QWidget *, const char *> hints[] = {
        {cmdPath, " Click this button to specify the location of your backup folder."},
        {Option1, " Specify your own backup folder."},
        {Option2, " Use the default backup folder."},
        {Text1, " This is the path to your backup folder if you choose to use your own."},
        {Text2, " This is the path to the default backup folder."},
        {cmdOK, " Return to the main form."}};
    for (const auto &[widget, hint] : hints) {
        widget->setProperty("hint", QString::fromLatin1(hint));
        widget->installEventFilter(this);
    }

    for (QRadioButton *option : {Option1, Option2})
        connect(option, &QRadioButton::clicked, this, [this, option] {
            ColorTheBoxes();
            option->clearFocus();
        });
    connect(cmdOK, &QPushButton::clicked, this, &BackupDialog::cmdOK_Click);
    connect(cmdPath, &QPushButton::clicked, this, &BackupDialog::cmdPath_Click);
}

void BackupDialog::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

void BackupDialog::Form_Load()
{
    const QString defaultText = Paths::withTrailingSeparator(Paths::applicationFolder()) +
                                QStringLiteral("Backup") + QDir::separator();
    Text2->setText(defaultText);
    const QString stored = SettingsStore::ReadRegString(SettingsStore::HKEY_CURRENT_USER, KeyBackup,
                                                        ValuePath, defaultText);
    if (stored == defaultText) {
        Option2->setChecked(true);
    } else {
        Option1->setChecked(true);
        Text1->setText(stored == QLatin1String("0") ? QString() : stored);
    }
    ColorTheBoxes();
}

QString BackupDialog::backupRoot()
{
    ensureLoaded();
    // An empty box would put the tree into whatever folder the program runs in.
    if (Option1->isChecked() && !Text1->text().trimmed().isEmpty())
        return Text1->text().trimmed();
    return Paths::applicationFolder();
}

bool BackupDialog::isSpecified()
{
    ensureLoaded();
    return Option1->isChecked() && !Text1->text().trimmed().isEmpty();
}

QString BackupDialog::hintFolder()
{
    ensureLoaded();
    return Option1->isChecked() ? Text1->text() : Text2->text();
}

void BackupDialog::showModal()
{
    ensureLoaded();
    ColorTheBoxes();
    exec();
}

void BackupDialog::ColorTheBoxes()
{
    const bool specified = Option1->isChecked();
    shade(Text1, specified);
    shade(Text2, !specified);
}

void BackupDialog::fallBackWhenEmpty()
{
    if (Text1->text().isEmpty() && Option1->isChecked()) {
        Option2->setChecked(true);
        ColorTheBoxes();
    }
}

bool BackupDialog::isMissingFolder()
{
    const QString trimmed = Text1->text().trimmed();
    if (trimmed != Text1->text())
        Text1->setText(trimmed);
    return Option1->isChecked() && !trimmed.isEmpty() && !FileSystem::isFolder(trimmed);
}

void BackupDialog::cmdOK_Click()
{
    ensureLoaded();
    // Every later Replace would fail on a folder that is not there.
    if (isMissingFolder()) {
        m_dialogs.message(QStringLiteral("The folder %1 does not exist.").arg(Text1->text()),
                          windowTitle(), MessageButtons::Ok, MessageIcon::Warning);
        Text1->setFocus();
        return;
    }
    storeChoice();
}

void BackupDialog::storeChoice()
{
    ensureLoaded();
    isMissingFolder();
    fallBackWhenEmpty();
    if (Option1->isChecked()) {
        SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, KeyBackup, ValuePath,
                                      Text1->text());
    } else {
        SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, KeyBackup, ValuePath,
                                      Text2->text());
        Option2->setChecked(true);
        ColorTheBoxes();
    }
    hide();
}

FolderPicker *BackupDialog::picker()
{
    if (!m_picker)
        m_picker =
            new FolderPicker(*this, m_main, m_dialogs, parentWidget() ? parentWidget() : this);
    return m_picker;
}

void BackupDialog::cmdPath_Click()
{
    ensureLoaded();
    Option1->setChecked(true);
    ColorTheBoxes();
    // An empty box or a folder gone since leaves the list where it was.
    picker()->Dir1->setPath(Text1->text());
    picker()->exec();
    // The picker's choice is what the user confirmed: store it, as leaving the
    // dialog does, so that it outlives the session.
    storeChoice();
}

bool BackupDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        ColorTheBoxes();
    } else if (event->type() == QEvent::WindowDeactivate) {
        // Only another window of the program (the picker) counts; switching to
        // another application leaves the dialog as it is.
        QWidget *active = QApplication::activeWindow();
        if (active && active != this && isVisible() && !isMissingFolder())
            storeChoice();
    }
    return QDialog::event(event);
}

bool BackupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == cmdOK)
            fallBackWhenEmpty();
        const QString hint = watched->property("hint").toString();
        if (!hint.isEmpty())
            m_main.setStatusText(2, hint);
    }
    return QDialog::eventFilter(watched, event);
}
