#include "ViewerFileCommands.h"

#include "ViewerDocumentFile.h"
#include "ViewerText.h"
#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/LogSources.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace {

QString nameAfterLastSeparator(const QString &path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QDir::separator()), path.lastIndexOf(u'/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

}  // namespace

ViewerFileCommands::ViewerFileCommands(RunContext &ctx, const DocumentBuffer &buffer,
                                       ViewerDocumentFile &file, QPlainTextEdit *document,
                                       Host &host)
    : m_ctx(ctx), m_buffer(buffer), m_file(file), m_document(document), m_host(host)
{
}

QString ViewerFileCommands::startFolder() const
{
    // Never the program's data folder, which holds only its own files.
    for (const QString &file : {m_host.selectedEntry(), m_buffer.fileName()}) {
        QString folder = file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
        if (!folder.isEmpty() && FileSystem::isFolder(folder))
            return folder;
    }
    return QDir::homePath();
}

void ViewerFileCommands::openFile()
{
    if (!m_host.offerToSaveChanges())
        return;
    const QString path =
        QFileDialog::getOpenFileName(m_document->window(), QStringLiteral("Open"), startFolder(),
                                     QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    openPath(QDir::toNativeSeparators(path));
}

void ViewerFileCommands::openPath(const QString &path)
{
    if (!m_host.offerToSaveChanges())
        return;
    try {
        m_file.load(path);
    } catch (const std::exception &) {
        return;  // The open command ends silently when the file cannot be read.
    }
    m_host.listOpenedFile(path);
}

void ViewerFileCommands::saveAs()
{
    const QString proposed =
        QDir(startFolder()).filePath(nameAfterLastSeparator(m_buffer.fileName()));
    const QString path = QFileDialog::getSaveFileName(
        m_document->window(), QStringLiteral("Save As"), proposed, QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    m_file.saveAs(QDir::toNativeSeparators(path));
}

void ViewerFileCommands::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, m_document->window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(printer);
}

void ViewerFileCommands::printTo(QPrinter &printer)
{
    QTextDocument document;
    document.setDefaultFont(m_document->font());
    document.setPlainText(ViewerText::toView(m_buffer.text()));
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        m_host.reportFailure(QStringLiteral("There was a printer error."), MessageIcon::Warning,
                             QStringLiteral("Error"), LogSource::viewerPrinter,
                             QStringLiteral("The printer reported an error."));
    }
}

void ViewerFileCommands::showLastReport()
{
    const QString report = QDir(Paths::applicationFolder()).filePath(QStringLiteral("Report.dat"));
    if (!FileSystem::exists(report)) {
        m_ctx.dialogs->message(QStringLiteral("The report file hasn't been created yet."),
                               QStringLiteral("Error"), MessageButtons::Ok,
                               MessageIcon::Information);
        return;
    }
    if (!m_host.offerToSaveChanges())
        return;
    m_host.skipNextListReaction();
    if (!m_host.loadDocument(QDir::toNativeSeparators(report), LogSource::viewerToolBar))
        return;
    m_host.setCaption(QStringLiteral("Viewing document: ") + QDir::toNativeSeparators(report));
    m_host.setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.fileName());
}
