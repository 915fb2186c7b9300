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

QLineEdit *readOnlyField(const char *name)
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
    setObjectName(QStringLiteral("filePropertiesDialog"));
    setWindowTitle(QStringLiteral(" File Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    const FileProperties p = FileProperties::gather(folder, name);
    fileNameEdit = readOnlyField("fileNameEdit");
    fileNameEdit->setText(p.fileName);
    typeLabel = named(new QLabel(p.fileType), "typeLabel");
    locationEdit = readOnlyField("locationEdit");
    locationEdit->setText(p.location);
    sizeLabel = named(new QLabel(p.size), "sizeLabel");
    shortNameLabel = named(new QLabel(p.dosName), "shortNameLabel");
    createdLabel = named(new QLabel(p.created), "createdLabel");
    modifiedLabel = named(new QLabel(p.modified), "modifiedLabel");
    accessedLabel = named(new QLabel(p.accessed), "accessedLabel");
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
    attribute(readOnlyBox, "readOnlyBox", "Read-only", p.readOnly, true);
    attribute(archiveBox, "archiveBox", "Archive", p.archive, false);
    attribute(hiddenBox, "hiddenBox", "Hidden", p.hidden, true);
    attribute(systemBox, "systemBox", "System", p.system, false);

    auto *general = new QWidget;
    auto *form = new QFormLayout(general);
    form->addRow(fileNameEdit);
    form->addRow(line());
    form->addRow(named(new QLabel(QStringLiteral("Type:")), "typeCaption"), typeLabel);
    form->addRow(named(new QLabel(QStringLiteral("Location:")), "locationCaption"), locationEdit);
    form->addRow(named(new QLabel(QStringLiteral("Size:")), "sizeCaption"), sizeLabel);
    form->addRow(named(new QLabel(QStringLiteral("MS-DOS name:")), "shortNameCaption"),
                 shortNameLabel);
    form->addRow(line());
    form->addRow(named(new QLabel(QStringLiteral("Created:")), "createdCaption"), createdLabel);
    form->addRow(named(new QLabel(QStringLiteral("Modified:")), "modifiedCaption"), modifiedLabel);
    form->addRow(named(new QLabel(QStringLiteral("Accessed:")), "accessedCaption"), accessedLabel);
    form->addRow(line());
    auto *attributes = new QHBoxLayout;
    for (QCheckBox *box : {readOnlyBox, archiveBox, hiddenBox, systemBox})
        attributes->addWidget(box);
    form->addRow(named(new QLabel(QStringLiteral("Attributes:")), "attributesCaption"), attributes);

    tabs = named(new QTabWidget, "tabs");
    tabs->addTab(general, QStringLiteral("General"));
    okButton = named(new QPushButton(QStringLiteral("Ok")), "okButton");
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &FilePropertiesDialog::applyAndClose);

    auto *column = new QVBoxLayout(this);
    column->addWidget(tabs);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    column->addLayout(buttons);
    setMinimumWidth(360);
}

void FilePropertiesDialog::applyAndClose()
{
    const QPointer<QWidget> target = m_focusTarget;
    close();
    if (target)
        target->setFocus();
}
