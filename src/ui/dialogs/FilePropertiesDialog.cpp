#include "FilePropertiesDialog.h"

#include "engine/FileProperties.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit *readOnlyBox(const char *name)
{
    auto *box = named(new QLineEdit, name);
    box->setReadOnly(true);
    box->setFrame(false);
    return box;
}

QFrame *line()
{
    auto *rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}
}  // namespace

FilePropertiesDialog::FilePropertiesDialog(const QString &folder, const QString &name,
                                           QWidget *focusTarget, QWidget *parent)
    : QDialog(parent), m_focusTarget(focusTarget)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral(" File Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    const FileProperties p = FileProperties::gather(folder, name);
    lblFileName = readOnlyBox("lblFileName");
    lblFileName->setText(p.fileName);
    lblFileType = named(new QLabel(p.fileType), "lblFileType");
    lblFileLocation = readOnlyBox("lblFileLocation");
    lblFileLocation->setText(p.location);
    lblFileSize = named(new QLabel(p.size), "lblFileSize");
    lblDosName = named(new QLabel(p.dosName), "lblDosName");
    lblCreated = named(new QLabel(p.created), "lblCreated");
    lblModified = named(new QLabel(p.modified), "lblModified");
    lblAccessed = named(new QLabel(p.accessed), "lblAccessed");
    const auto attribute = [](QCheckBox *&box, const char *objectName, const char *caption,
                              bool ticked, bool meaningful) {
        box = named(new QCheckBox(QString::fromLatin1(caption)), objectName);
        box->setChecked(ticked);
        // Read-only facts: shown, never changed from here.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        box->setEnabled(meaningful);
        return box;
    };
    // Archive and System have no meaning on this platform.
    attribute(chkReadonly, "chkReadonly", "Read-only", p.readOnly, true);
    attribute(chkArchive, "chkArchive", "Archive", p.archive, false);
    attribute(chkHidden, "chkHidden", "Hidden", p.hidden, true);
    attribute(chkSystem, "chkSystem", "System", p.system, false);

    auto *general = new QWidget;
    auto *form = new QFormLayout(general);
    form->addRow(lblFileName);
    form->addRow(line());
    form->addRow(named(new QLabel(QStringLiteral("Type:")), "Label1"), lblFileType);
    form->addRow(named(new QLabel(QStringLiteral("Location:")), "Label2"), lblFileLocation);
    form->addRow(named(new QLabel(QStringLiteral("Size:")), "Label3"), lblFileSize);
    form->addRow(named(new QLabel(QStringLiteral("MS-DOS name:")), "Label4"), lblDosName);
    form->addRow(line());
    form->addRow(named(new QLabel(QStringLiteral("Created:")), "Label5"), lblCreated);
    form->addRow(named(new QLabel(QStringLiteral("Modified:")), "Label6"), lblModified);
    form->addRow(named(new QLabel(QStringLiteral("Accessed:")), "Label7"), lblAccessed);
    form->addRow(line());
    auto *attributes = new QHBoxLayout;
    for (QCheckBox *box : {chkReadonly, chkArchive, chkHidden, chkSystem})
        attributes->addWidget(box);
    form->addRow(named(new QLabel(QStringLiteral("Attributes:")), "Label8"), attributes);

    TabStrip1 = named(new QTabWidget, "TabStrip1");
    TabStrip1->addTab(general, QStringLiteral("General"));
    Command1 = named(new QPushButton(QStringLiteral("Ok")), "Command1");
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FilePropertiesDialog::Command1_Click);

    auto *column = new QVBoxLayout(this);
    column->addWidget(TabStrip1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    column->addLayout(buttons);
    setMinimumWidth(360);
}

void FilePropertiesDialog::Command1_Click()
{
    const QPointer<QWidget> target = m_focusTarget;
    close();
    if (target)
        target->setFocus();
}
