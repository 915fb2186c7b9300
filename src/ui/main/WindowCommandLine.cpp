#include "WindowCommandLine.h"

#include "engine/OpenTarget.h"

#include <QCommandLineParser>
#include <QCoreApplication>

WindowCommandLine WindowCommandLine::parse(const QStringList &arguments,
                                           const QString &workingFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds and replaces text in many files at once."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("The folder to open; a file opens its folder with the file selected. "
                       "Without it the window opens on the folder shown last."),
        QStringLiteral("[FOLDER]"));

    WindowCommandLine line;
    const QString usageHint = QStringLiteral("Try '%1 --help' for more information.")
                                  .arg(QCoreApplication::applicationName().toLower());
    if (!parser.parse(arguments)) {
        line.outcome = Outcome::Fail;
        line.output = parser.errorText() + u'\n' + usageHint + u'\n';
        return line;
    }
    if (parser.isSet(help)) {
        line.outcome = Outcome::Print;
        line.output = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.outcome = Outcome::Print;
        line.output = QCoreApplication::applicationName().toLower() + u' ' +
                      QCoreApplication::applicationVersion() + u'\n';
        return line;
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1) {
        line.outcome = Outcome::Fail;
        line.output = QStringLiteral("Only one folder can be opened.\n") + usageHint + u'\n';
        return line;
    }
    if (!folders.isEmpty())
        line.folder = OpenTarget::absolutePath(folders.first(), workingFolder);
    return line;
}

bool WindowCommandLine::onlyPrints(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == u"--")
            return false;
        if (argument == u"-h" || argument == u"--help" || argument == u"-?" ||
            argument == u"--help-all" || argument == u"-v" || argument == u"--version")
            return true;
    }
    return false;
}
