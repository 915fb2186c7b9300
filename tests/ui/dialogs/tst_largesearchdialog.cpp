#include "ui/viewer/support/StandInMain.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/LargeSearchDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

class tst_LargeSearchDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void okPastesMultiLineTextUnchanged_data();
    void okPastesMultiLineTextUnchanged();
    void cancelPastesNothing();
    void activationFillsByTag_data();
    void activationFillsByTag();
    void clearFindEmptiesBothBoxes();
    void viewerButtonMarksTheDialog();
    void hidesWhenAnotherWindowIsActivated();
    void boxHintsFollowMainSearchTypeAndGoOnLeaving_data();
    void boxHintsFollowMainSearchTypeAndGoOnLeaving();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ViewerHarness> m_h;
    LargeSearchDialog *m_dialog = nullptr;
};

void tst_LargeSearchDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    Paths::setApplicationFolderForTesting(m_dir->path());
    m_h = std::make_unique<ViewerHarness>();
    m_dialog = m_h->viewer->largeSearchDialog();
    QCOMPARE(m_dialog->objectName(), QStringLiteral("largeSearchDialog"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral(" Large Search"));
}

void tst_LargeSearchDialog::cleanup()
{
    m_h.reset();
    m_dir.reset();
}

void tst_LargeSearchDialog::okPastesMultiLineTextUnchanged_data()
{
    QTest::addColumn<bool>("fuzzy");
    QTest::addRow("normal") << false;
    QTest::addRow("fuzzy") << true;
}

void tst_LargeSearchDialog::okPastesMultiLineTextUnchanged()
{
    QFETCH(bool, fuzzy);
    const QString first = QStringLiteral("first line\nsecond line\n\tindented");
    const QString second = QStringLiteral("end\nmark");
    const QString replacement = QStringLiteral("new\nparagraph\n");
    m_dialog->fuzzyBox->setChecked(fuzzy);
    m_dialog->firstPartEdit->setPlainText(first);
    m_dialog->secondPartEdit->setPlainText(second);
    m_dialog->replaceEdit->setPlainText(replacement);
    m_dialog->show();
    m_dialog->okClicked();
    QVERIFY(!m_dialog->isVisible());
    StandInMain &main = m_h->main;
    ViewerWindow &viewer = *m_h->viewer;
    QCOMPARE(viewer.findText(), first);
    QCOMPARE(viewer.viewerReplaceBox->currentText(), replacement);
    if (fuzzy) {
        QCOMPARE(main.firstPartBox->currentText(), first);
        QCOMPARE(main.secondPartBox->currentText(), second);
        QCOMPARE(main.fuzzyReplaceBox->currentText(), replacement);
        QCOMPARE(viewer.findText2(), second);
        QCOMPARE(main.findBox->currentText(), QString());
    } else {
        QCOMPARE(main.findBox->currentText(), first);
        QCOMPARE(main.replaceBox->currentText(), replacement);
        QCOMPARE(main.secondPartBox->currentText(), QString());
        // What a run reads from the main window is the same text.
        QCOMPARE(main.findText(), first);
    }
}

void tst_LargeSearchDialog::cancelPastesNothing()
{
    m_dialog->firstPartEdit->setPlainText(QStringLiteral("kept"));
    m_dialog->show();
    m_dialog->cancelClicked();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_h->main.findBox->currentText(), QString());
    QCOMPARE(m_dialog->firstPartEdit->toPlainText(), QStringLiteral("kept"));
}

void tst_LargeSearchDialog::activationFillsByTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("boxes");
    QTest::addRow("main, normal") << QStringLiteral("Scrivlane") << false
                                  << QStringLiteral("NORMAL SEARCH")
                                  << QStringList{QStringLiteral("find"), QStringLiteral("replace"),
                                                 QStringLiteral("replace")};
    QTest::addRow("main, fuzzy") << QStringLiteral("Scrivlane") << true
                                 << QStringLiteral("FUZZY SEARCH")
                                 << QStringList{QStringLiteral("first"), QStringLiteral("second"),
                                                QStringLiteral("fuzzyrep")};
    QTest::addRow("viewer, normal")
        << QStringLiteral("Template") << false << QStringLiteral("NORMAL SEARCH")
        << QStringList{QStringLiteral("vfind"), QStringLiteral("old2"), QStringLiteral("vreplace")};
    QTest::addRow("viewer, fuzzy")
        << QStringLiteral("Template") << true << QStringLiteral("FUZZY SEARCH")
        << QStringList{QStringLiteral("vfind"), QStringLiteral("vfind2"),
                       QStringLiteral("vreplace")};
    QTest::addRow("no tag keeps the boxes")
        << QString() << false << QStringLiteral("NORMAL SEARCH")
        << QStringList{QStringLiteral("old1"), QStringLiteral("old2"), QStringLiteral("old3")};
}

void tst_LargeSearchDialog::activationFillsByTag()
{
    QFETCH(QString, tag);
    QFETCH(bool, fuzzy);
    QFETCH(QString, label);
    QFETCH(QStringList, boxes);
    StandInMain &main = m_h->main;
    main.findBox->setEditText(QStringLiteral("find"));
    main.replaceBox->setEditText(QStringLiteral("replace"));
    main.firstPartBox->setEditText(QStringLiteral("first"));
    main.secondPartBox->setEditText(QStringLiteral("second"));
    main.fuzzyReplaceBox->setEditText(QStringLiteral("fuzzyrep"));
    m_h->viewer->viewerFindBox->setEditText(QStringLiteral("vfind"));
    m_h->viewer->viewerSecondPartBox->setEditText(QStringLiteral("vfind2"));
    m_h->viewer->viewerReplaceBox->setEditText(QStringLiteral("vreplace"));
    m_dialog->firstPartEdit->setPlainText(QStringLiteral("old1"));
    m_dialog->secondPartEdit->setPlainText(QStringLiteral("old2"));
    m_dialog->replaceEdit->setPlainText(QStringLiteral("old3"));
    m_dialog->fuzzyBox->setChecked(fuzzy);
    m_dialog->setTag(tag);
    m_dialog->tabs->setCurrentIndex(1);
    m_dialog->prepareOnActivation();
    QCOMPARE(m_dialog->searchTypeLabel->text(), label);
    QCOMPARE(m_dialog->firstPartEdit->toPlainText(), boxes[0]);
    QCOMPARE(m_dialog->secondPartEdit->toPlainText(), boxes[1]);
    QCOMPARE(m_dialog->replaceEdit->toPlainText(), boxes[2]);
    QCOMPARE(m_dialog->tabs->currentIndex(), 0);
    QCOMPARE(m_h->status.panel1, QStringLiteral("Scrivlane"));
    // Fuzzy leaves room for the second box; normal covers it (1455 and 3015 twips).
    QCOMPARE(m_dialog->firstPartEdit->height(), fuzzy ? 97 : 201);
}

void tst_LargeSearchDialog::clearFindEmptiesBothBoxes()
{
    m_dialog->firstPartEdit->setPlainText(QStringLiteral("a"));
    m_dialog->secondPartEdit->setPlainText(QStringLiteral("b"));
    m_dialog->replaceEdit->setPlainText(QStringLiteral("c"));
    m_dialog->clearReplace();
    QCOMPARE(m_dialog->replaceEdit->toPlainText(), QString());
    QCOMPARE(m_dialog->tabs->currentIndex(), 1);
    QVERIFY(m_dialog->replaceFrame->isEnabled());
    QVERIFY(!m_dialog->findFrame->isEnabled());
    m_dialog->clearFind();
    QCOMPARE(m_dialog->firstPartEdit->toPlainText(), QString());
    QCOMPARE(m_dialog->secondPartEdit->toPlainText(), QString());
    QCOMPARE(m_dialog->tabs->currentIndex(), 0);
    QVERIFY(m_dialog->findFrame->isEnabled());
}

void tst_LargeSearchDialog::viewerButtonMarksTheDialog()
{
    m_h->main.findBox->setEditText(QStringLiteral("main find"));
    m_h->main.replaceBox->setEditText(QStringLiteral("main replace"));
    m_dialog->setTag(QStringLiteral("Scrivlane"));
    m_h->viewer->openLargeReplace();
    QCOMPARE(m_dialog->tag(), QStringLiteral("Scrivlane"));
    QVERIFY(!m_dialog->fuzzyBox->isChecked());
    QCOMPARE(m_dialog->firstPartEdit->toPlainText(), QStringLiteral("main find"));
    QCOMPARE(m_dialog->secondPartEdit->toPlainText(), QStringLiteral("main replace"));
    m_dialog->hide();
    m_h->main.fuzzyOption->setChecked(true);
    m_h->viewer->openLargeFind();
    QCOMPARE(m_dialog->tag(), QStringLiteral("Template"));
    QVERIFY(m_dialog->fuzzyBox->isChecked());
    QVERIFY(m_dialog->isVisible());
}

void tst_LargeSearchDialog::hidesWhenAnotherWindowIsActivated()
{
    m_h->main.show();
    m_dialog->firstPartEdit->setPlainText(QStringLiteral("unpasted"));
    m_dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog));
    m_h->main.activateWindow();
    QTRY_VERIFY(!m_dialog->isVisible());
    QCOMPARE(m_h->main.findBox->currentText(), QString());
    QCOMPARE(m_dialog->firstPartEdit->toPlainText(), QStringLiteral("unpasted"));
}

void tst_LargeSearchDialog::boxHintsFollowMainSearchTypeAndGoOnLeaving_data()
{
    QTest::addColumn<bool>("mainFuzzy");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("hint");
    const QString search = QStringLiteral(
        " Your search criteria will be pasted into the %1 "
        "drop-down on the main form.");
    const QString replace = QStringLiteral(
        " Your replacement criteria will be pasted into the "
        "%1 drop-down on the main form.");
    QTest::addRow("normal first") << false << QStringLiteral("firstPartEdit")
                                  << search.arg(QStringLiteral("Search"));
    QTest::addRow("fuzzy second") << true << QStringLiteral("secondPartEdit")
                                  << search.arg(QStringLiteral("Fuzzy Search"));
    QTest::addRow("normal replace")
        << false << QStringLiteral("replaceEdit") << replace.arg(QStringLiteral("Replace"));
    QTest::addRow("fuzzy replace")
        << true << QStringLiteral("replaceEdit") << replace.arg(QStringLiteral("Fuzzy Replace"));
    QTest::addRow("label") << false << QStringLiteral("searchTypeLabel")
                           << search.arg(QStringLiteral("Find"));
}

void tst_LargeSearchDialog::boxHintsFollowMainSearchTypeAndGoOnLeaving()
{
    QFETCH(bool, mainFuzzy);
    QFETCH(QString, box);
    QFETCH(QString, hint);
    // The dialog's own mode is the opposite: the hint follows the main window.
    m_dialog->fuzzyBox->setChecked(!mainFuzzy);
    (mainFuzzy ? static_cast<QAbstractButton *>(m_h->main.fuzzyOption) : m_h->main.normalOption)
        ->setChecked(true);
    QWidget *widget = m_dialog->findChild<QWidget *>(box);
    QVERIFY(widget);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &enter);
    QCOMPARE(m_h->status.panel2, hint);
    QCoreApplication::sendEvent(widget, &leave);
    QCOMPARE(m_h->status.panel2, QString());
}

QTEST_MAIN(tst_LargeSearchDialog)
#include "tst_largesearchdialog.moc"
