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
};

QTEST_MAIN(TestWidgetDialogs)
#include "tst_widgetdialogs.moc"
