#include "PathField.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileSystemModel>
#include <QKeyEvent>

PathField::PathField(QWidget *parent) : QLineEdit(parent)
{
    setClearButtonEnabled(true);
    setPlaceholderText(QStringLiteral("Type or paste a folder and press Enter"));
    auto *folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    // Completion reads only what the user types towards; the model watches nothing else.
    folders->setRootPath(QString());
    auto *completer = new QCompleter(folders, this);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    setCompleter(completer);
    connect(this, &QLineEdit::returnPressed, this, [this] { emit openRequested(text()); });
}

void PathField::showFolder(const QString &folder)
{
    m_folder = folder;
    setText(folder);
}

void PathField::keyPressEvent(QKeyEvent *event)
{
    const bool popup = completer() && completer()->popup()->isVisible();
    if (event->key() == Qt::Key_Escape && !popup && text() != m_folder) {
        setText(m_folder);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PathField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Leaving the field without Enter opens nothing: it shows the open folder again.
    // A message about the path typed keeps it, so it can be put right.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        setText(m_folder);
}
