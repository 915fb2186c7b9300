#include "BackupDialog.h"

#include "FolderPicker.h"
#include "engine/MainPort.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FolderList.h"

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

BackupDialog::BackupDialog(MainPort &main, RunEvents &events, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_main(main), m_events(events), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("backupDialog"));
    setWindowTitle(QStringLiteral(" Specify Backup folder"));
    setModal(true);
    resize(px(6000), px(2200));

    defaultOption = new QRadioButton(QStringLiteral("Use default location"), this);
    defaultOption->setObjectName(QStringLiteral("defaultOption"));
    specifyOption = new QRadioButton(QStringLiteral("Specify location"), this);
    specifyOption->setObjectName(QStringLiteral("specifyOption"));
    defaultPathEdit = new QLineEdit(this);
    defaultPathEdit->setObjectName(QStringLiteral("defaultPathEdit"));
    defaultPathEdit->setReadOnly(true);
    specifiedPathEdit = new QLineEdit(this);
    specifiedPathEdit->setObjectName(QStringLiteral("specifiedPathEdit"));
    browseButton = new QPushButton(QStringLiteral("Search"), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    browseButton->setAutoDefault(false);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);

    auto grid = new QGridLayout(this);
    grid->addWidget(defaultOption, 0, 0, 1, 2);
    grid->addWidget(defaultPathEdit, 1, 0, 1, 2);
    grid->addWidget(specifyOption, 2, 0, 1, 2);
    grid->addWidget(specifiedPathEdit, 3, 0);
    grid->addWidget(browseButton, 3, 1);
    grid->addWidget(okButton, 4, 1);

    const std::pair<QWidget *, const char *> hints[] = {
        {browseButton, " Click this button to specify the location of your backup folder."},
        {specifyOption, " Specify your own backup folder."},
        {defaultOption, " Use the default backup folder."},
        {specifiedPathEdit,
         " This is the path to your backup folder if you choose to use your own."},
        {defaultPathEdit, " This is the path to the default backup folder."},
        {okButton, " Return to the main form."}};
    for (const auto &[widget, hint] : hints) {
        widget->setProperty("hint", QString::fromLatin1(hint));
        widget->installEventFilter(this);
    }

    for (QRadioButton *option : {specifyOption, defaultOption})
        connect(option, &QRadioButton::clicked, this, [this, option] {
            shadeBoxes();
            option->clearFocus();
        });
    connect(okButton, &QPushButton::clicked, this, &BackupDialog::confirmChoice);
    connect(browseButton, &QPushButton::clicked, this, &BackupDialog::browseForFolder);
}

void BackupDialog::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    loadChoice();
}

void BackupDialog::loadChoice()
{
    const QString defaultText = Paths::withTrailingSeparator(Paths::applicationFolder()) +
                                QStringLiteral("Backup") + QDir::separator();
    defaultPathEdit->setText(defaultText);
    const QString stored = SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, KeyBackup,
                                                     ValuePath, defaultText);
    if (stored == defaultText) {
        defaultOption->setChecked(true);
        specifiedPathEdit->clear();
    } else {
        specifyOption->setChecked(true);
        specifiedPathEdit->setText(stored == QLatin1String("0") ? QString() : stored);
    }
    shadeBoxes();
}

QString BackupDialog::backupRoot()
{
    ensureLoaded();
    // An empty box would put the tree into whatever folder the program runs in.
    if (specifyOption->isChecked() && !specifiedPathEdit->text().trimmed().isEmpty())
        return specifiedPathEdit->text().trimmed();
    return Paths::applicationFolder();
}

bool BackupDialog::isSpecified()
{
    ensureLoaded();
    return specifyOption->isChecked() && !specifiedPathEdit->text().trimmed().isEmpty();
}

QString BackupDialog::hintFolder()
{
    ensureLoaded();
    return specifyOption->isChecked() ? specifiedPathEdit->text() : defaultPathEdit->text();
}

void BackupDialog::showModal()
{
    ensureLoaded();
    shadeBoxes();
    exec();
}

void BackupDialog::shadeBoxes()
{
    const bool specified = specifyOption->isChecked();
    shade(specifiedPathEdit, specified);
    shade(defaultPathEdit, !specified);
}

void BackupDialog::fallBackWhenEmpty()
{
    if (specifiedPathEdit->text().isEmpty() && specifyOption->isChecked()) {
        defaultOption->setChecked(true);
        shadeBoxes();
    }
}

bool BackupDialog::isMissingFolder()
{
    const QString trimmed = specifiedPathEdit->text().trimmed();
    if (trimmed != specifiedPathEdit->text())
        specifiedPathEdit->setText(trimmed);
    // A relative path names a folder only from wherever the program was started.
    return specifyOption->isChecked() && !trimmed.isEmpty() &&
           (!QDir::isAbsolutePath(trimmed) || !FileSystem::isFolder(trimmed));
}

void BackupDialog::confirmChoice()
{
    ensureLoaded();
    // Every later Replace would fail on a folder that is not there.
    if (isMissingFolder()) {
        const QString text = QDir::isAbsolutePath(specifiedPathEdit->text())
                                 ? QStringLiteral("The folder %1 does not exist.")
                                 : QStringLiteral("The folder %1 is not a full path.");
        m_dialogs.message(text.arg(specifiedPathEdit->text()), windowTitle(), MessageButtons::Ok,
                          MessageIcon::Warning);
        specifiedPathEdit->setFocus();
        return;
    }
    storeChoice();
}

void BackupDialog::storeChoice()
{
    ensureLoaded();
    isMissingFolder();
    fallBackWhenEmpty();
    if (specifyOption->isChecked()) {
        SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER, KeyBackup, ValuePath,
                                   specifiedPathEdit->text());
    } else {
        SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER, KeyBackup, ValuePath,
                                   defaultPathEdit->text());
        defaultOption->setChecked(true);
        shadeBoxes();
    }
    hide();
}

FolderPicker *BackupDialog::picker()
{
    if (!m_picker)
        m_picker = new FolderPicker(*this, m_main, m_events, m_dialogs,
                                    parentWidget() ? parentWidget() : this);
    return m_picker;
}

void BackupDialog::browseForFolder()
{
    ensureLoaded();
    specifyOption->setChecked(true);
    shadeBoxes();
    // An empty box or a folder gone since leaves the list where it was.
    picker()->openAt(specifiedPathEdit->text());
    picker()->exec();
    // The picker's choice is what the user confirmed: store it, as OK does, so
    // that it outlives the session; a folder that is not there is refused as
    // OK refuses it, never kept for the runs to fail on.
    if (isVisible())
        confirmChoice();
    else if (isMissingFolder())
        loadChoice();
    else
        storeChoice();
}

void BackupDialog::reject()
{
    // Leaving without OK keeps the stored choice: what was typed is dropped.
    if (m_loaded)
        loadChoice();
    QDialog::reject();
}

bool BackupDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        shadeBoxes();
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
        if (watched == okButton)
            fallBackWhenEmpty();
        const QString hint = watched->property("hint").toString();
        if (!hint.isEmpty())
            m_main.setStatusText(2, hint);
    }
    return QDialog::eventFilter(watched, event);
}
