#include "ui/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

// The real boxes, answered by a timer that reads what they show.
class TestWidgetDialogs : public QObject {
    Q_OBJECT

private slots:
    void promptsAndMessagesBreakLinesAtCr();
};

void TestWidgetDialogs::promptsAndMessagesBreakLinesAtCr()
{
    WidgetDialogs dialogs;
    QString prompt;
    QTimer::singleShot(0, this, [&] {
        auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(input);
        prompt = input->labelText();
        input->setTextValue(QStringLiteral("new.txt"));
        input->accept();
    });
    const std::optional<QString> name =
        dialogs.inputText(QStringLiteral("Enter the new name for \rold.txt"),
                          QStringLiteral(" Rename"), QStringLiteral("old.txt"));
    QCOMPARE(name, std::optional<QString>(QStringLiteral("new.txt")));
    QCOMPARE(prompt, QStringLiteral("Enter the new name for \nold.txt"));

    QString text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(dialogs.message(QStringLiteral("first\rsecond\r\nthird"), QStringLiteral(" Save"),
                             MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes),
             MessageAnswer::No);
    QCOMPARE(text, QStringLiteral("first\nsecond\nthird"));
}

QTEST_MAIN(TestWidgetDialogs)
#include "tst_widgetdialogs.moc"
