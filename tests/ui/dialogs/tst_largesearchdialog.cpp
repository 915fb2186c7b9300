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
    QCOMPARE(m_dialog->objectName(), QStringLiteral("frmBigFind"));
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
    m_dialog->chkfuzz->setChecked(fuzzy);
    m_dialog->rtbFirstFuzz->setPlainText(first);
    m_dialog->rtbSecondFuzz->setPlainText(second);
    m_dialog->rtbReplace->setPlainText(replacement);
    m_dialog->show();
    m_dialog->okClicked();
    QVERIFY(!m_dialog->isVisible());
    StandInMain &main = m_h->main;
    ViewerWindow &viewer = *m_h->viewer;
    QCOMPARE(viewer.findText(), first);
    QCOMPARE(viewer.cboReplace->currentText(), replacement);
    if (fuzzy) {
        QCOMPARE(main.cboFirst->currentText(), first);
        QCOMPARE(main.cboSecond->currentText(), second);
        QCOMPARE(main.cboFuzzyReplace->currentText(), replacement);
        QCOMPARE(viewer.findText2(), second);
        QCOMPARE(main.txtFind->currentText(), QString());
    } else {
        QCOMPARE(main.txtFind->currentText(), first);
        QCOMPARE(main.txtReplace->currentText(), replacement);
        QCOMPARE(main.cboSecond->currentText(), QString());
        // What a run reads from the main window is the same text.
        QCOMPARE(main.findText(), first);
    }
}

void tst_LargeSearchDialog::cancelPastesNothing()
{
    m_dialog->rtbFirstFuzz->setPlainText(QStringLiteral("kept"));
    m_dialog->show();
    m_dialog->cancelClicked();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_h->main.txtFind->currentText(), QString());
    QCOMPARE(m_dialog->rtbFirstFuzz->toPlainText(), QStringLiteral("kept"));
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
    main.txtFind->setEditText(QStringLiteral("find"));
    main.txtReplace->setEditText(QStringLiteral("replace"));
    main.cboFirst->setEditText(QStringLiteral("first"));
    main.cboSecond->setEditText(QStringLiteral("second"));
    main.cboFuzzyReplace->setEditText(QStringLiteral("fuzzyrep"));
    m_h->viewer->cboFind->setEditText(QStringLiteral("vfind"));
    m_h->viewer->cboFind2->setEditText(QStringLiteral("vfind2"));
    m_h->viewer->cboReplace->setEditText(QStringLiteral("vreplace"));
    m_dialog->rtbFirstFuzz->setPlainText(QStringLiteral("old1"));
    m_dialog->rtbSecondFuzz->setPlainText(QStringLiteral("old2"));
    m_dialog->rtbReplace->setPlainText(QStringLiteral("old3"));
    m_dialog->chkfuzz->setChecked(fuzzy);
    m_dialog->setTag(tag);
    m_dialog->tab1->setCurrentIndex(1);
    m_dialog->Form_Activate();
    QCOMPARE(m_dialog->Label5->text(), label);
    QCOMPARE(m_dialog->rtbFirstFuzz->toPlainText(), boxes[0]);
    QCOMPARE(m_dialog->rtbSecondFuzz->toPlainText(), boxes[1]);
    QCOMPARE(m_dialog->rtbReplace->toPlainText(), boxes[2]);
    QCOMPARE(m_dialog->tab1->currentIndex(), 0);
    QCOMPARE(m_h->status.panel1, QStringLiteral("Scrivlane"));
    // Fuzzy leaves room for the second box; normal covers it (1455 and 3015 twips).
    QCOMPARE(m_dialog->rtbFirstFuzz->height(), fuzzy ? 97 : 201);
}

void tst_LargeSearchDialog::clearFindEmptiesBothBoxes()
{
    m_dialog->rtbFirstFuzz->setPlainText(QStringLiteral("a"));
    m_dialog->rtbSecondFuzz->setPlainText(QStringLiteral("b"));
    m_dialog->rtbReplace->setPlainText(QStringLiteral("c"));
    m_dialog->clearReplace();
    QCOMPARE(m_dialog->rtbReplace->toPlainText(), QString());
    QCOMPARE(m_dialog->tab1->currentIndex(), 1);
    QVERIFY(m_dialog->frameRep->isEnabled());
    QVERIFY(!m_dialog->Frame2->isEnabled());
    m_dialog->clearFind();
    QCOMPARE(m_dialog->rtbFirstFuzz->toPlainText(), QString());
    QCOMPARE(m_dialog->rtbSecondFuzz->toPlainText(), QString());
    QCOMPARE(m_dialog->tab1->currentIndex(), 0);
    QVERIFY(m_dialog->Frame2->isEnabled());
}

void tst_LargeSearchDialog::viewerButtonMarksTheDialog()
{
    m_h->main.txtFind->setEditText(QStringLiteral("main find"));
    m_h->main.txtReplace->setEditText(QStringLiteral("main replace"));
    m_dialog->setTag(QStringLiteral("Scrivlane"));
    m_h->viewer->LargeReplaceButton_Click();
    QCOMPARE(m_dialog->tag(), QStringLiteral("Scrivlane"));
    QVERIFY(!m_dialog->chkfuzz->isChecked());
    QCOMPARE(m_dialog->rtbFirstFuzz->toPlainText(), QStringLiteral("main find"));
    QCOMPARE(m_dialog->rtbSecondFuzz->toPlainText(), QStringLiteral("main replace"));
    m_dialog->hide();
    m_h->main.chkFuzzy->setChecked(true);
    m_h->viewer->cmdViewFind_Click();
    QCOMPARE(m_dialog->tag(), QStringLiteral("Template"));
    QVERIFY(m_dialog->chkfuzz->isChecked());
    QVERIFY(m_dialog->isVisible());
}

void tst_LargeSearchDialog::hidesWhenAnotherWindowIsActivated()
{
    m_h->main.show();
    m_dialog->rtbFirstFuzz->setPlainText(QStringLiteral("unpasted"));
    m_dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog));
    m_h->main.activateWindow();
    QTRY_VERIFY(!m_dialog->isVisible());
    QCOMPARE(m_h->main.txtFind->currentText(), QString());
    QCOMPARE(m_dialog->rtbFirstFuzz->toPlainText(), QStringLiteral("unpasted"));
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
    QTest::addRow("normal first") << false << QStringLiteral("rtbFirstFuzz")
                                  << search.arg(QStringLiteral("Search"));
    QTest::addRow("fuzzy second") << true << QStringLiteral("rtbSecondFuzz")
                                  << search.arg(QStringLiteral("Fuzzy Search"));
    QTest::addRow("normal replace")
        << false << QStringLiteral("rtbReplace") << replace.arg(QStringLiteral("Replace"));
    QTest::addRow("fuzzy replace")
        << true << QStringLiteral("rtbReplace") << replace.arg(QStringLiteral("Fuzzy Replace"));
    QTest::addRow("label") << false << QStringLiteral("Label5")
                           << search.arg(QStringLiteral("Find"));
}

void tst_LargeSearchDialog::boxHintsFollowMainSearchTypeAndGoOnLeaving()
{
    QFETCH(bool, mainFuzzy);
    QFETCH(QString, box);
    QFETCH(QString, hint);
    // The dialog's own mode is the opposite: the hint follows the main window.
    m_dialog->chkfuzz->setChecked(!mainFuzzy);
    (mainFuzzy ? static_cast<QAbstractButton *>(m_h->main.chkFuzzy) : m_h->main.optNormal)
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
