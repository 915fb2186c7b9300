#include "MainRunEvents.h"

#include "MainWindow.h"

namespace {
const QString kIdle = QStringLiteral("Scrivlane");
}

void MainRunEvents::idle()
{
    m_window.setStatusText(1, kIdle);
}

void MainRunEvents::requestRefused()
{
    m_window.setStatusText(2, QString());
    m_window.setStatusText(1, kIdle);
}

void MainRunEvents::findEnded()
{
    m_window.setToolCaption(QStringLiteral("find"), QStringLiteral("Find"));
}

void MainRunEvents::fileSearched(const QString &path)
{
    m_window.setStatusText(2, QStringLiteral(" Searching through document: ") + path);
}

void MainRunEvents::listedFileSearched(const QString &text, int number)
{
    m_window.setStatusText(2, QStringLiteral(" Searching for ") + text.left(20) +
                                  QStringLiteral("... in document: ") + QString::number(number));
}

void MainRunEvents::filesFound(int count)
{
    m_window.setStatusText(1, QStringLiteral("Number of files: ") + QString::number(count));
}

void MainRunEvents::replacementsMade(int total)
{
    m_window.setStatusText(1, QStringLiteral("Replacements: ") + QString::number(total));
}

void MainRunEvents::backupFolderMade(const QString &folder)
{
    m_window.setStatusText(2, QStringLiteral(" Creating folders: ") + folder);
}

void MainRunEvents::restoreStarted()
{
    m_window.setStatusText(1, QStringLiteral("Restoring..."));
}
