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
    const QString program = QCoreApplication::applicationName().toLower();
    const QString usageHint =
        QStringLiteral("Usage: %1 [FOLDER]\nTry '%1 --help' for more information.").arg(program);
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

QStringList WindowCommandLine::withoutWindowSystemOptions(const QStringList &arguments)
{
    // The options Qt's application objects read and remove, with "-" or "--".
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("title"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("icon"),
                                          QStringLiteral("session"),
                                          QStringLiteral("display"),
                                          QStringLiteral("name"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("qmljsdebugger")};
    static const QStringList flags = {QStringLiteral("reverse"),     QStringLiteral("widgetcount"),
                                      QStringLiteral("testability"), QStringLiteral("nograb"),
                                      QStringLiteral("dograb"),      QStringLiteral("sync")};
    QStringList kept = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--") {
            kept << arguments.mid(i);
            break;
        }
        if (!argument.startsWith(u'-') || argument == u"-") {
            kept << argument;
            continue;
        }
        QString name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        if (equals >= 0)
            name.truncate(equals);
        if (withValue.contains(name)) {
            if (equals < 0)
                ++i;  // its value
            continue;
        }
        if (flags.contains(name) && equals < 0)
            continue;
        kept << argument;
    }
    return kept;
}
