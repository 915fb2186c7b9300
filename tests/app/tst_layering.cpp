#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

// Reads the sources: a layer includes only its own layer and those below it,
// nothing below src/ui includes QtWidgets, and src/ui's folders form no circle
// beyond the known ones.
class TestLayering : public QObject {
    Q_OBJECT

private slots:
    void layerIncludesNothingAbove_data();
    void layerIncludesNothingAbove();
    void uiFoldersFormNoNewCircle();
    void noOldProgramNames_data();
    void noOldProgramNames();
};

namespace {

// From the bottom up.
const QStringList kLayers{QStringLiteral("platform"), QStringLiteral("settings"),
                          QStringLiteral("engine"),   QStringLiteral("backup"),
                          QStringLiteral("ui"),       QStringLiteral("app")};

// The includes between src/ui's folders ("ui" is src/ui's own files) that may
// lie on a circle: none. Dialogs know no window, the viewer only dialogs, the
// main window both; anything flowing back goes through signals or an interface
// in src/ui itself.
const QSet<QString> kKnownUiCircleEdges{};

struct Include {
    QString file;    ///< relative to src
    QString folder;  ///< the including file's folder, relative to src ("ui/main")
    QString target;  ///< the included file's folder, or empty for a system header
    QString header;  ///< as written
};

QString srcFolder()
{
    return QStringLiteral(SCRIVLANE_SOURCE_DIR);
}

QList<Include> allIncludes()
{
    static const QRegularExpression line(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                         QRegularExpression::MultilineOption);
    const QDir src(srcFolder());
    QList<Include> out;
    QDirIterator it(srcFolder(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        const QString text = QString::fromUtf8(file.readAll());
        const QString folder = src.relativeFilePath(QFileInfo(path).path());
        for (auto m = line.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            Include include{src.relativeFilePath(path), folder, QString(), match.captured(2)};
            if (match.captured(1) == u'"') {
                // Beside the including file first, then from src; generated headers are neither.
                for (const QString &candidate : {folder + u'/' + include.header, include.header}) {
                    if (src.exists(candidate)) {
                        include.target = QFileInfo(candidate).path();
                        break;
                    }
                }
            }
            out << include;
        }
    }
    return out;
}

int layerOf(const QString &folder)
{
    return int(kLayers.indexOf(folder.section(u'/', 0, 0)));
}

}  // namespace

void TestLayering::layerIncludesNothingAbove_data()
{
    QTest::addColumn<int>("layer");
    for (int i = 0; i < kLayers.size(); ++i) QTest::addRow("%s", qPrintable(kLayers.at(i))) << i;
}

void TestLayering::layerIncludesNothingAbove()
{
    QFETCH(int, layer);
    const QDir widgets(QLibraryInfo::path(QLibraryInfo::HeadersPath) +
                       QStringLiteral("/QtWidgets"));
    QVERIFY2(widgets.exists(), qPrintable(widgets.path()));
    const QStringList widgetHeaders = widgets.entryList(QDir::Files);
    QStringList faults;
    int seen = 0;
    for (const Include &include : allIncludes()) {
        if (layerOf(include.folder) != layer)
            continue;
        ++seen;
        const bool isWidgets = include.header.startsWith(QLatin1String("QtWidgets")) ||
                               widgetHeaders.contains(include.header);
        if (!include.target.isEmpty() && layerOf(include.target) > layer)
            faults << include.file + QStringLiteral(" includes ") + include.header;
        else if (include.target.isEmpty() && isWidgets && layer < layerOf(QStringLiteral("ui")))
            faults << include.file + QStringLiteral(" includes QtWidgets' ") + include.header;
    }
    QVERIFY(seen > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestLayering::uiFoldersFormNoNewCircle()
{
    QMap<QString, QSet<QString>> edges;  // folder below src/ui -> folders it includes
    QMap<QString, QString> example;      // edge -> one include that makes it
    const int ui = layerOf(QStringLiteral("ui"));
    // src/ui's own files are one more folder, "ui".
    auto node = [](const QString &folder) { return folder.section(u'/', -1); };
    for (const Include &include : allIncludes()) {
        if (layerOf(include.folder) != ui || include.target.isEmpty() ||
            layerOf(include.target) != ui || include.folder == include.target)
            continue;
        const QString from = node(include.folder), to = node(include.target);
        edges[from].insert(to);
        example.insert(from + QStringLiteral(" -> ") + to, include.file + u' ' + include.header);
    }
    auto reaches = [&](const QString &from, const QString &to) {
        QSet<QString> seen{from};
        QStringList next{from};
        while (!next.isEmpty()) {
            for (const QString &step : edges.value(next.takeLast())) {
                if (step == to)
                    return true;
                if (!seen.contains(step)) {
                    seen.insert(step);
                    next << step;
                }
            }
        }
        return false;
    };
    QStringList faults;
    QSet<QString> inCircles;
    for (auto it = edges.cbegin(); it != edges.cend(); ++it) {
        for (const QString &to : it.value()) {
            if (!reaches(to, it.key()))
                continue;
            const QString edge = it.key() + QStringLiteral(" -> ") + to;
            inCircles.insert(edge);
            qInfo("circle edge %s (e.g. %s)", qPrintable(edge), qPrintable(example.value(edge)));
            if (!kKnownUiCircleEdges.contains(edge))
                faults << QStringLiteral("new circle edge ") + edge + QStringLiteral(": ") +
                              example.value(edge);
        }
    }
    for (const QString &edge : kKnownUiCircleEdges) {
        if (!inCircles.contains(edge))
            faults << QStringLiteral(
                          "no longer on a circle, remove it from kKnownUiCircleEdges: ") +
                          edge;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestLayering::noOldProgramNames_data()
{
    QTest::addColumn<QString>("pattern");
    // Qualified enum values (Qt::Key_F, QStyle::State_On) are Qt's, not ours.
    QTest::newRow("underscore procedure") << QStringLiteral(R"((?<!::)\b[A-Z][a-z]+_[A-Z]\w*)");
    QTest::newRow("event handler") << QStringLiteral(R"(\b[A-Za-z]+[0-9]*_Click\b)");
    QTest::newRow("control prefix")
        << QStringLiteral(R"(\b(cmd|chk|txt|lbl|opt|rtb|lst|cbo|fra|mnu)[A-Z])");
    QTest::newRow("numbered control")
        << QStringLiteral(R"(\b(List|Text|Label|Command|File|Dir|Drive|StatusBar)[0-9]+\b)");
}

void TestLayering::noOldProgramNames()
{
    QFETCH(QString, pattern);
    const QRegularExpression name(pattern);
    // Literals are output (log sources, stored keys, captions) and may keep the old texts.
    static const QRegularExpression literal(
        QStringLiteral(R"-(R"\((?:.|\n)*?\)"|'(?:[^'\\\n]|\\.)'|"(?:[^"\\\n]|\\.)*")-"));
    QStringList faults;
    for (const QString &folder : {srcFolder(), srcFolder() + QStringLiteral("/../tests")}) {
        QDirIterator it(folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String("/settings/LogSources.h")))
                continue;
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QString code = QString::fromUtf8(file.readAll()).replace(literal, QString());
            for (auto m = name.globalMatch(code); m.hasNext();)
                faults << QFileInfo(path).fileName() + u' ' + m.next().captured();
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
