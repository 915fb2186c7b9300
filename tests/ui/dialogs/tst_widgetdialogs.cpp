#include "ui/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

// The real boxes, answered by a timer that reads what they show.
class TestWidgetDialogs : public QObject {
    Q_OBJECT

private slots:
    void promptsAndMessagesBreakLinesAtCr()
    {
        WidgetDialogs dialogs;
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(input);
            shown = input->labelText();
            input->setTextValue("new.txt");
            input->accept();
        });
        QCOMPARE(dialogs.inputText("Enter the new name for \rold.txt", " Rename", "old.txt"),
                 std::optional<QString>("new.txt"));
        QCOMPARE(shown, "Enter the new name for \nold.txt");
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.message("first\rsecond\r\nthird", " Save", MessageButtons::YesNo,
                                 MessageIcon::Question, MessageAnswer::Yes),
                 MessageAnswer::No);
        QCOMPARE(shown, "first\nsecond\nthird");
    }

    // Each kind of question shows its buttons, icon and default, and answers
    // with the button clicked.
    void messageBoxMatchesQuestion_data()
    {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<MessageAnswer>("preferred");
        QTest::addColumn<int>("shownButtons");
        QTest::addColumn<int>("shownIcon");
        QTest::addColumn<int>("defaultButton");  // NoButton: the preferred one is not offered
        QTest::addColumn<int>("clicked");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addRow("ok") << MessageButtons::Ok << MessageIcon::Information << MessageAnswer::Ok
                            << int(QMessageBox::Ok) << int(QMessageBox::Information)
                            << int(QMessageBox::Ok) << int(QMessageBox::Ok) << MessageAnswer::Ok;
        QTest::addRow("ok or cancel")
            << MessageButtons::OkCancel << MessageIcon::Warning << MessageAnswer::Cancel
            << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Warning)
            << int(QMessageBox::Cancel) << int(QMessageBox::Cancel) << MessageAnswer::Cancel;
        QTest::addRow("yes or no")
            << MessageButtons::YesNo << MessageIcon::Question << MessageAnswer::No
            << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Question)
            << int(QMessageBox::No) << int(QMessageBox::Yes) << MessageAnswer::Yes;
        QTest::addRow("yes, no or cancel")
            << MessageButtons::YesNoCancel << MessageIcon::Error << MessageAnswer::Yes
            << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
            << int(QMessageBox::Critical) << int(QMessageBox::Yes) << int(QMessageBox::No)
            << MessageAnswer::No;
        QTest::addRow("default not offered")
            << MessageButtons::Ok << MessageIcon::None << MessageAnswer::Yes << int(QMessageBox::Ok)
            << int(QMessageBox::NoIcon) << int(QMessageBox::NoButton) << int(QMessageBox::Ok)
            << MessageAnswer::Ok;
    }
    void messageBoxMatchesQuestion()
    {
        QFETCH(MessageButtons, buttons);
        QFETCH(MessageIcon, icon);
        QFETCH(MessageAnswer, preferred);
        QFETCH(int, shownButtons);
        QFETCH(int, shownIcon);
        QFETCH(int, defaultButton);
        QFETCH(int, clicked);
        QFETCH(MessageAnswer, answer);
        WidgetDialogs dialogs;
        int seenButtons = -1;
        int seenIcon = -1;
        int seenDefault = -1;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenButtons = int(box->standardButtons());
            seenIcon = int(box->icon());
            seenDefault = int(box->defaultButton() ? box->standardButton(box->defaultButton())
                                                   : QMessageBox::NoButton);
            box->button(QMessageBox::StandardButton(clicked))->click();
        });
        QCOMPARE(dialogs.message("text", "title", buttons, icon, preferred), answer);
        QCOMPARE(seenButtons, shownButtons);
        QCOMPARE(seenIcon, shownIcon);
        QCOMPARE(seenDefault, defaultButton);
    }
};

QTEST_MAIN(TestWidgetDialogs)
#include "tst_widgetdialogs.moc"
