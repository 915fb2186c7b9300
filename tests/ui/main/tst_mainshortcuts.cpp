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
    void listsTakeNoKeys();
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
        m_window.get(), m_state, QList<QAbstractScrollArea *>{m_list}, m_park,
        QList<QComboBox *>{m_field}, [this](Command command) { m_run << command; });
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

    const QList<QPair<int, Command>> ctrlKeys = {
        {Qt::Key_A, Command::SelectAll},  {Qt::Key_F, Command::Find},
        {Qt::Key_N, Command::SelectNone}, {Qt::Key_R, Command::Replace},
        {Qt::Key_Q, Command::Exit},       {Qt::Key_V, Command::ViewSelected},
        {Qt::Key_Z, Command::Undo}};
    for (const auto &[key, command] : ctrlKeys)
        QTest::addRow("ctrl+%s", qPrintable(QKeySequence(key).toString()))
            << key << Ctrl << Ctrl << false << QList<Command>{command} << true;
    QTest::addRow("alt+l") << int(Qt::Key_L) << Alt << Alt << false
                           << QList<Command>{Command::LargeSearch} << true;
    // Ctrl is often let go before the letter: the press decides.
    QTest::addRow("ctrl let go first")
        << int(Qt::Key_F) << Ctrl << None << false << QList<Command>{Command::Find} << true;
    QTest::addRow("plain letter") << int(Qt::Key_F) << None << None << false << QList<Command>{}
                                  << false;
    QTest::addRow("ctrl+shift+f") << int(Qt::Key_F) << (Ctrl | Qt::ShiftModifier)
                                  << (Ctrl | Qt::ShiftModifier) << false << QList<Command>{}
                                  << false;
    QTest::addRow("ctrl+b") << int(Qt::Key_B) << Ctrl << Ctrl << false << QList<Command>{} << false;

    // During a run only the run's own tools and Exit still answer.
    for (int key : {int(Qt::Key_A), int(Qt::Key_N), int(Qt::Key_V)})
        QTest::addRow("running ctrl+%s", qPrintable(QKeySequence(key).toString()))
            << key << Ctrl << Ctrl << true << QList<Command>{} << true;
    QTest::addRow("running alt+l")
        << int(Qt::Key_L) << Alt << Alt << true << QList<Command>{} << true;
    QTest::addRow("running ctrl+f")
        << int(Qt::Key_F) << Ctrl << Ctrl << true << QList<Command>{Command::Find} << true;
    QTest::addRow("running ctrl+z")
        << int(Qt::Key_Z) << Ctrl << Ctrl << true << QList<Command>{Command::Undo} << true;
    QTest::addRow("running ctrl+q")
        << int(Qt::Key_Q) << Ctrl << Ctrl << true << QList<Command>{Command::Exit} << true;
}

void TestMainShortcuts::keyReleaseRunsItsCommand()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, atPress);
    QFETCH(Qt::KeyboardModifiers, atRelease);
    QFETCH(bool, running);
    QFETCH(QList<Command>, expected);
    QFETCH(bool, usedUp);

    m_state.RunInProgress = running;
    QCOMPARE(type(m_button, key, atPress, atRelease), usedUp);
    QCOMPARE(m_run, expected);
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

void TestMainShortcuts::listsTakeNoKeys()
{
    for (QObject *target :
         {static_cast<QObject *>(m_list), static_cast<QObject *>(m_list->viewport())}) {
        m_button->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), m_button);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, None);
        QVERIFY(m_shortcuts->keyEvent(target, &press));
        QCOMPARE(QApplication::focusWidget(), m_park);
    }
    QVERIFY(m_run.isEmpty());

    // F2 still opens the About box from a list, and leaves the list too.
    m_list->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_list);
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, None);
    QVERIFY(m_shortcuts->keyEvent(m_list, &f2));
    QCOMPARE(m_run, QList<Command>{Command::About});
    QCOMPARE(QApplication::focusWidget(), m_park);
}

void TestMainShortcuts::releaseClearsStopOnlyWhenIdle()
{
    m_state.StopRequested = true;
    m_state.RunInProgress = true;
    type(m_button, Qt::Key_X, None, None);
    QVERIFY(m_state.StopRequested);

    m_state.RunInProgress = false;
    type(m_button, Qt::Key_X, None, None);
    QVERIFY(!m_state.StopRequested);
}

void TestMainShortcuts::otherWindowsAreLeftAlone()
{
    QWidget other;
    QVERIFY(!type(&other, Qt::Key_F, Ctrl, Ctrl));
    QVERIFY(m_run.isEmpty());
}

QTEST_MAIN(TestMainShortcuts)
#include "tst_mainshortcuts.moc"
