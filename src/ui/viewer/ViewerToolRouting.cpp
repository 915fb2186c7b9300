#include "ViewerToolRouting.h"

#include "ViewerWindow.h"

#include <QHash>
#include <QString>

namespace ViewerToolRouting {

namespace {

using Command = void (ViewerWindow::*)();

void run(ViewerWindow &window, const QHash<QString, Command> &commands, const QString &key)
{
    if (const Command command = commands.value(key))
        (window.*command)();
}

}  // namespace

void runMenuTool(ViewerWindow &window, const QString &key)
{
    static const QHash<QString, Command> commands{
        {QStringLiteral("open"), &ViewerWindow::openFile},
        {QStringLiteral("save"), &ViewerWindow::saveCurrent},
        {QStringLiteral("saveAs"), &ViewerWindow::saveAs},
        {QStringLiteral("print"), &ViewerWindow::print},
        {QStringLiteral("exit"), &ViewerWindow::hideViewer},
        {QStringLiteral("quit"), &ViewerWindow::quitProgram},
        {QStringLiteral("resize"), &ViewerWindow::toggleFileInfo},
        {QStringLiteral("case"), &ViewerWindow::toggleCase},
        {QStringLiteral("whole"), &ViewerWindow::toggleWhole},
        {QStringLiteral("bigger"), &ViewerWindow::biggerFont},
        {QStringLiteral("smaller"), &ViewerWindow::smallerFont},
        {QStringLiteral("setfont"), &ViewerWindow::setFonts},
        {QStringLiteral("find"), &ViewerWindow::findFirst},
        {QStringLiteral("findnext"), &ViewerWindow::findNext},
        {QStringLiteral("replace"), &ViewerWindow::replaceCurrent},
        {QStringLiteral("report"), &ViewerWindow::showLastReport},
        {QStringLiteral("wordwrap"), &ViewerWindow::toggleWordWrap},
    };
    run(window, commands, key);
}

void runListTool(ViewerWindow &window, const QString &key)
{
    static const QHash<QString, Command> commands{
        {QStringLiteral("find"), &ViewerWindow::popupFind},
        {QStringLiteral("open"), &ViewerWindow::popupOpen},
        {QStringLiteral("copyPath"), &ViewerWindow::popupCopyPath},
        {QStringLiteral("rename"), &ViewerWindow::popupRename},
        {QStringLiteral("deleteFile"), &ViewerWindow::popupDeleteFile},
    };
    run(window, commands, key);
}

void runMoveTool(ViewerWindow &window, const QString &key)
{
    // The bar's find next and replace clear a stop left from an earlier walk.
    static const QHash<QString, Command> commands{
        {QStringLiteral("up"), &ViewerWindow::previousFile},
        {QStringLiteral("down"), &ViewerWindow::nextFile},
        {QStringLiteral("findNext"), &ViewerWindow::resumeFindNext},
        {QStringLiteral("replace"), &ViewerWindow::resumeReplace},
        {QStringLiteral("exit"), &ViewerWindow::closeViewer},
    };
    run(window, commands, key);
}

}  // namespace ViewerToolRouting
