#include "engine/RunState.h"
#include "ui/main/MainShortcuts.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using Command = MainShortcuts::Command;
Q_DECLARE_METATYPE(Command)

namespace {
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
}  // namespace

class TestMainShortcuts : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keyReleaseRunsItsCommand_data();
    void keyReleaseRunsItsCommand();
    void textFieldsKeepPasteAndUndo_data();
    void textFieldsKeepPasteAndUndo();
    void f2ActsOnPress();
    void releaseClearsStopOnlyWhenIdle();
    void otherWindowsAreLeftAlone();

private:
    /// Presses and releases the key on `target`; true when either was used up.
    bool type(QWidget *target, int key, Qt::KeyboardModifiers atPress,
              Qt::KeyboardModifiers atRelease);

    RunState m_state;
    std::unique_ptr<QWidget> m_window;
    QListWidget *m_list = nullptr;
    QWidget *m_park = nullptr;
    QComboBox *m_field = nullptr;
    QPushButton *m_button = nullptr;
    std::unique_ptr<MainShortcuts> m_shortcuts;
    QList<Command> m_run;
};

void TestMainShortcuts::init()
{
    m_state = RunState();
    m_run.clear();
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_list = new QListWidget;
    m_park = new QWidget;
    m_park->setFocusPolicy(Qt::StrongFocus);
    m_field = new QComboBox;
    m_field->setEditable(true);
    m_button = new QPushButton(QStringLiteral("elsewhere"));
    for (QWidget *widget : {static_cast<QWidget *>(m_list), m_park, static_cast<QWidget *>(m_field),
                            static_cast<QWidget *>(m_button)})
        layout->addWidget(widget);
    m_shortcuts = std::make_unique<MainShortcuts>(
        m_window.get(), m_state, m_list, QList<QComboBox *>{m_field}, QList<QComboBox *>{m_field},
        [this](Command command) { m_run << command; });
    m_window->show();
    m_window->activateWindow();
    m_button->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_button);
}

void TestMainShortcuts::cleanup()
{
    m_shortcuts.reset();
    m_window.reset();
}

bool TestMainShortcuts::type(QWidget *target, int key, Qt::KeyboardModifiers atPress,
                             Qt::KeyboardModifiers atRelease)
{
    QKeyEvent press(QEvent::KeyPress, key, atPress);
    QKeyEvent release(QEvent::KeyRelease, key, atRelease);
    const bool pressed = m_shortcuts->keyEvent(target, &press);
    const bool released = m_shortcuts->keyEvent(target, &release);
    return pressed || released;
}

void TestMainShortcuts::keyReleaseRunsItsCommand_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("atPress");
    QTest::addColumn<Qt::KeyboardModifiers>("atRelease");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QList<Command>>("expected");
    QTest::addColumn<bool>("usedUp");
    QTest::addColumn<QString>("focus");  // "list", "field"; else the button

    const QList<QPair<int, Command>> ctrlKeys = {
        {Qt::Key_L, Command::GoToPath},   {Qt::Key_F, Command::Find},
        {Qt::Key_N, Command::SelectNone}, {Qt::Key_R, Command::Replace},
        {Qt::Key_Q, Command::Exit},       {Qt::Key_V, Command::ViewSelected},
        {Qt::Key_Z, Command::Undo},       {Qt::Key_P, Command::Preview}};
    for (const auto &[key, command] : ctrlKeys)
        QTest::addRow("ctrl+%s", qPrintable(QKeySequence(key).toString()))
            << key << Ctrl << Ctrl << false << QList<Command>{command} << true << QString();
    QTest::addRow("alt+l") << int(Qt::Key_L) << Alt << Alt << false
                           << QList<Command>{Command::LargeSearch} << true << QString();
    // Ctrl is often let go before the letter: the press decides.
    QTest::addRow("ctrl let go first") << int(Qt::Key_F) << Ctrl << None << false
                                       << QList<Command>{Command::Find} << true << QString();
    QTest::addRow("plain letter") << int(Qt::Key_F) << None << None << false << QList<Command>{}
                                  << false << QString();
    QTest::addRow("ctrl+shift+f") << int(Qt::Key_F) << (Ctrl | Qt::ShiftModifier)
                                  << (Ctrl | Qt::ShiftModifier) << false << QList<Command>{}
                                  << false << QString();
    QTest::addRow("ctrl+b") << int(Qt::Key_B) << Ctrl << Ctrl << false << QList<Command>{} << false
                            << QString();

    // During a run only Ctrl+F (the find tool's own key) and Exit still answer:
    // Ctrl+R, Ctrl+P and Ctrl+Z would stop a run half-way without a question.
    for (int key : {int(Qt::Key_L), int(Qt::Key_N), int(Qt::Key_V), int(Qt::Key_R), int(Qt::Key_P),
                    int(Qt::Key_Z)})
        QTest::addRow("running ctrl+%s", qPrintable(QKeySequence(key).toString()))
            << key << Ctrl << Ctrl << true << QList<Command>{} << true << QString();
    QTest::addRow("running alt+l")
        << int(Qt::Key_L) << Alt << Alt << true << QList<Command>{} << true << QString();
    QTest::addRow("running ctrl+f") << int(Qt::Key_F) << Ctrl << Ctrl << true
                                    << QList<Command>{Command::Find} << true << QString();
    QTest::addRow("running ctrl+q") << int(Qt::Key_Q) << Ctrl << Ctrl << true
                                    << QList<Command>{Command::Exit} << true << QString();

    // Ctrl+A selects the files only from the file list; elsewhere it selects text.
    QTest::addRow("ctrl+a in the file list")
        << int(Qt::Key_A) << Ctrl << Ctrl << false << QList<Command>{Command::SelectAll} << true
        << "list";
    QTest::addRow("ctrl+a elsewhere")
        << int(Qt::Key_A) << Ctrl << Ctrl << false << QList<Command>{} << false << "field";
    // The lists keep their keys: arrows move in them.
    QTest::addRow("down in the file list")
        << int(Qt::Key_Down) << None << None << false << QList<Command>{} << false << "list";
    QTest::addRow("enter in the find box") << int(Qt::Key_Return) << None << None << false
                                           << QList<Command>{Command::Find} << true << "field";
    QTest::addRow("enter elsewhere")
        << int(Qt::Key_Return) << None << None << false << QList<Command>{} << false << QString();
    QTest::addRow("enter during a run")
        << int(Qt::Key_Return) << None << None << true << QList<Command>{} << false << "field";
    QTest::addRow("esc during a run") << int(Qt::Key_Escape) << None << None << true
                                      << QList<Command>{Command::Stop} << true << QString();
    QTest::addRow("esc when idle")
        << int(Qt::Key_Escape) << None << None << false << QList<Command>{} << false << QString();
}

void TestMainShortcuts::keyReleaseRunsItsCommand()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, atPress);
    QFETCH(Qt::KeyboardModifiers, atRelease);
    QFETCH(bool, running);
    QFETCH(QList<Command>, expected);
    QFETCH(bool, usedUp);
    QFETCH(QString, focus);

    QWidget *target = focus == u"list"    ? static_cast<QWidget *>(m_list)
                      : focus == u"field" ? static_cast<QWidget *>(m_field)
                                          : m_button;
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    m_state.runInProgress = running;
    QCOMPARE(type(focus == u"field" ? m_field->lineEdit() : target, key, atPress, atRelease),
             usedUp);
    QCOMPARE(m_run, expected);
    QCOMPARE(QApplication::focusWidget(), target);
}

void TestMainShortcuts::textFieldsKeepPasteAndUndo_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<Command>>("expected");
    QTest::addColumn<bool>("usedUp");
    QTest::addRow("ctrl+v pastes") << int(Qt::Key_V) << QList<Command>{} << false;
    QTest::addRow("ctrl+z undoes typing") << int(Qt::Key_Z) << QList<Command>{} << false;
    QTest::addRow("ctrl+f still finds") << int(Qt::Key_F) << QList<Command>{Command::Find} << true;
}

void TestMainShortcuts::textFieldsKeepPasteAndUndo()
{
    QFETCH(int, key);
    QFETCH(QList<Command>, expected);
    QFETCH(bool, usedUp);

    m_field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_field);
    QCOMPARE(type(m_field->lineEdit(), key, Ctrl, Ctrl), usedUp);
    QCOMPARE(m_run, expected);
}

void TestMainShortcuts::f2ActsOnPress()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, None);
    QVERIFY(m_shortcuts->keyEvent(m_button, &press));
    QCOMPARE(m_run, QList<Command>{Command::About});
}

void TestMainShortcuts::releaseClearsStopOnlyWhenIdle()
{
    m_state.stopRequested = true;
    m_state.runInProgress = true;
    type(m_button, Qt::Key_X, None, None);
    QVERIFY(m_state.stopRequested);

    m_state.runInProgress = false;
    type(m_button, Qt::Key_X, None, None);
    QVERIFY(!m_state.stopRequested);
}

void TestMainShortcuts::otherWindowsAreLeftAlone()
{
    QWidget other;
    QVERIFY(!type(&other, Qt::Key_F, Ctrl, Ctrl));
    QVERIFY(m_run.isEmpty());
}

QTEST_MAIN(TestMainShortcuts)
#include "tst_mainshortcuts.moc"
