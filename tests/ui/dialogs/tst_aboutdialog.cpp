#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/main/MainWindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QList<int> visibleFrames(const AboutDialog &about)
{
    QList<int> visible;
    for (int i = 0; i < about.animationFrames.size(); ++i)
        if (!about.animationFrames[i]->isHidden())
            visible << i;
    return visible;
}
}  // namespace

class TestAboutDialog : public QObject {
    Q_OBJECT

private slots:
    // One frame at a time, the first tick holding it; every opening starts at the first.
    void animationRestartsAtEveryOpening()
    {
        TempTree tree;
        SettingsStore::setStoreFileForTesting(tree.path("settings.ini"));
        ScriptedDialogs dialogs;
        {
            MainWindow w(&dialogs);
            QVERIFY(w.startUp());
            QList<QList<int>> seen;  // as opened, then after each tick
            for (int opening = 0; opening < 2; ++opening) {
                QTimer::singleShot(0, this, [&] {
                    auto *about = w.findChild<AboutDialog *>();
                    QVERIFY(about && about->isModal() && about->isVisible());
                    QVERIFY(about->animationTimer->isActive() &&
                            about->animationTimer->interval() == 125);
                    seen << visibleFrames(*about);
                    for (int tick = 0; tick < 7; ++tick) {
                        about->nextAnimationFrame();
                        seen << visibleFrames(*about);
                    }
                    about->closeBar->actions().constFirst()->trigger();
                });
                w.tool("helpBar", "about")->trigger();
                QVERIFY(!w.findChild<AboutDialog *>());
            }
            const QList<QList<int>> once{{0}, {0}, {1}, {2}, {3}, {0}, {1}, {2}};
            QCOMPARE(seen, once + once);
            w.close();
        }
        SettingsStore::setStoreFileForTesting(QString());
        Paths::setApplicationFolderForTesting(QString());
    }

    // Navy, bright blue under the pointer; a click opens the home page or says why not.
    void linkColoursAndClick()
    {
        ScriptedDialogs dialogs;
        QList<bool> opens{true, false};
        QList<QUrl> asked;
        AboutDialog about(dialogs, nullptr, [&](const QUrl &url) {
            asked << url;
            return opens.takeFirst();
        });
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const auto colour = [&] {
            return about.websiteLink->palette().color(QPalette::WindowText);
        };
        QCOMPARE(colour(), QColor(0, 0, 128));
        // The link is as wide as its words: beside them the box is plain background.
        QCOMPARE(about.websiteLink->width(), about.websiteLink->sizeHint().width());
        QTest::mouseMove(about.websiteLink, about.websiteLink->rect().center());
        QTRY_COMPARE(colour(), QColor(0, 0, 255));
        QTest::mouseMove(&about, QPoint(2, 2));
        QTRY_COMPARE(colour(), QColor(0, 0, 128));
        QTest::mouseClick(about.websiteLink, Qt::LeftButton);  // the browser opens it
        QVERIFY(dialogs.shown.isEmpty());
        QTest::mouseClick(about.websiteLink, Qt::LeftButton);  // no browser
        QCOMPARE(asked, QList<QUrl>(2, AboutDialog::homePage()));
        QCOMPARE(dialogs.titles(), QStringList{" Error"});
        QVERIFY(dialogs.shown[0].text.contains(AboutDialog::homePage().toString()));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
