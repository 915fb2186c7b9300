#include "ui/RunStatusText.h"

#include <QtTest>
#include <QtWidgets>

class TestRunStatusText : public QObject {
    Q_OBJECT

private slots:
    void labelShowsLatestTextWhenSeen_data();
    void labelShowsLatestTextWhenSeen();
};

void TestRunStatusText::labelShowsLatestTextWhenSeen_data()
{
    // Steps: "hold", "release", "pass" (a pass of the event loop), "set:<text>"
    // or "set:<lead>|<tail>", "through:<text>" (a text set in a pass the run
    // makes, as a hint under the pointer is), "own:<text>" (the label's own
    // setText, as a click in the viewer's list gives); expected holds the
    // label's text after each step.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("not held: at once") << QStringList{"set:a", "set:b"} << QStringList{"a", "b"};
    QTest::newRow("held: the latest, at the next pass")
        << QStringList{"hold", "set:a", "set:b", "pass", "set:c", "pass"}
        << QStringList{"", "", "", "b", "b", "c"};
    QTest::newRow("held: the latest, at the run's end")
        << QStringList{"hold", "set:a", "set:b", "release", "set:c"}
        << QStringList{"", "", "", "b", "c"};
    QTest::newRow("held: a pass the run makes shows its own text at once")
        << QStringList{"hold", "set:a", "through:hint", "set:b", "release"}
        << QStringList{"", "", "hint", "hint", "b"};
    QTest::newRow("held again after a run")
        << QStringList{"hold", "release", "hold", "set:a", "pass"}
        << QStringList{"", "", "", "", "a"};
    QTest::newRow("in two parts, joined when shown")
        << QStringList{"set:a|b", "hold", "set:c|d", "set:e|", "set:f|g", "pass"}
        << QStringList{"ab", "ab", "ab", "ab", "ab", "fg"};
    QTest::newRow("held: the label's own later text stays")
        << QStringList{"hold", "set:a", "own:x", "pass", "release"}
        << QStringList{"", "", "x", "x", "x"};
    QTest::newRow("held: a run's text after the label's own is shown")
        << QStringList{"hold", "set:a", "own:x", "set:b", "pass"}
        << QStringList{"", "", "x", "x", "b"};
}

void TestRunStatusText::labelShowsLatestTextWhenSeen()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    QLabel label;
    RunStatusText texts;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        const QString text = step.section(':', 1);
        if (step == "hold") {
            texts.hold();
        } else if (step == "release") {
            texts.release();
        } else if (step == "pass") {
            QCoreApplication::processEvents();
        } else if (step.startsWith("set:")) {
            if (text.contains('|'))
                texts.setText(&label, text.section('|', 0, 0), text.section('|', 1));
            else
                texts.setText(&label, text);
        } else if (step.startsWith("own:")) {
            label.setText(text);
        } else {
            QString inPass;
            texts.letThrough([&] {
                texts.setText(&label, text);
                inPass = label.text();
            });
            QCOMPARE(inPass, text);
        }
        QVERIFY2(label.text() == expected.at(i),
                 qPrintable(
                     QStringLiteral("after step %1 (%2): \"%3\"").arg(i).arg(step, label.text())));
    }
}

QTEST_MAIN(TestRunStatusText)
#include "tst_runstatustext.moc"
