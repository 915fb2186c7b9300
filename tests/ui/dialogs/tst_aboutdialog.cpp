#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {
QList<int> visibleFrames(const AboutDialog &about)
{
    QList<int> visible;
    for (int i = 0; i < about.imgMove1.size(); ++i) {
        if (!about.imgMove1[i]->isHidden())
            visible << i;
    }
    return visible;
}

QColor linkColour(const AboutDialog &about)
{
    return about.lblWeb->palette().color(QPalette::WindowText);
}
}  // namespace

class TestAboutDialog : public QObject {
    Q_OBJECT

private slots:
    void animationShowsOneFrameAtATime_data();
    void animationShowsOneFrameAtATime();
    void everyOpeningStartsAtTheFirstFrame();
    void linkIsBrightBlueOnlyUnderThePointer();
    void linkOpensTheHomePageOrSaysWhyNot_data();
    void linkOpensTheHomePageOrSaysWhyNot();
};

void TestAboutDialog::animationShowsOneFrameAtATime_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("frame");
    QTest::addRow("opened") << 0 << 0;
    QTest::addRow("first tick") << 1 << 0;
    QTest::addRow("second") << 2 << 1;
    QTest::addRow("fourth frame") << 4 << 3;
    QTest::addRow("back to the first") << 5 << 0;
    QTest::addRow("second round") << 7 << 2;
}

void TestAboutDialog::animationShowsOneFrameAtATime()
{
    QFETCH(int, ticks);
    QFETCH(int, frame);
    ScriptedDialogs dialogs;
    AboutDialog about(dialogs);
    QCOMPARE(about.Timer2->interval(), 125);
    QVERIFY(about.Timer2->isActive());
    for (int i = 0; i < ticks; ++i) about.Timer2_Timer();
    QCOMPARE(visibleFrames(about), QList<int>{frame});
}

void TestAboutDialog::everyOpeningStartsAtTheFirstFrame()
{
    TempTree tree;
    SettingsStore::setStoreFileForTesting(tree.path(QStringLiteral("settings.ini")));
    ScriptedDialogs dialogs;
    {
        MainWindow w(&dialogs);
        QVERIFY(w.Form_Load());
        QList<QList<int>> seen;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, this, [&] {
                auto *about = w.findChild<AboutDialog *>();
                QVERIFY(about && about->isModal() && about->isVisible());
                seen << visibleFrames(*about);
                for (int i = 0; i < 3; ++i) about->Timer2_Timer();
                seen << visibleFrames(*about);
                about->closeBar->actions().constFirst()->trigger();
            });
            w.tool(QStringLiteral("aboutBar"), QStringLiteral("about"))->trigger();
            QVERIFY(!w.findChild<AboutDialog *>());
        }
        QCOMPARE(seen, (QList<QList<int>>{{0}, {2}, {0}, {2}}));
        w.close();
    }
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
}

void TestAboutDialog::linkIsBrightBlueOnlyUnderThePointer()
{
    ScriptedDialogs dialogs;
    AboutDialog about(dialogs);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QColor navy(0, 0, 128);
    QCOMPARE(linkColour(about), navy);
    QTest::mouseMove(about.lblWeb, about.lblWeb->rect().center());
    QTRY_COMPARE(linkColour(about), QColor(0, 0, 255));
    QTest::mouseMove(&about, QPoint(2, 2));
    QTRY_COMPARE(linkColour(about), navy);
}

void TestAboutDialog::linkOpensTheHomePageOrSaysWhyNot_data()
{
    QTest::addColumn<bool>("opens");
    QTest::addRow("browser opens it") << true;
    QTest::addRow("no browser") << false;
}

void TestAboutDialog::linkOpensTheHomePageOrSaysWhyNot()
{
    QFETCH(bool, opens);
    ScriptedDialogs dialogs;
    QList<QUrl> asked;
    AboutDialog about(dialogs, nullptr, [&](const QUrl &url) {
        asked << url;
        return opens;
    });
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.lblWeb, Qt::LeftButton);
    QCOMPARE(asked, QList<QUrl>{AboutDialog::homePage()});
    QCOMPARE(dialogs.titles(), opens ? QStringList{} : QStringList{QStringLiteral(" Error")});
    if (!opens)
        QVERIFY(dialogs.shown[0].text.contains(AboutDialog::homePage().toString()));
}

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
