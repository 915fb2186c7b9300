#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QCheckBox;
class QToolBar;
class QWidget;
class MainWindow;

/// The main window's status-bar hints: what the pointer rests on is explained in
/// panel 2, its shortcut shown in panel 1, and an option box gets its arrow and
/// highlight frame. It watches pointer moves and tool enter/leave events of the
/// window's own controls; a run's progress text is left alone while it runs.
class MainHints : public QObject {
    Q_OBJECT

public:
    /// backupFolder names the folder shown by the ticked backup box's hint.
    MainHints(MainWindow &window, std::function<QString()> backupFolder);
    ~MainHints() override;

    /// The hint a tool writes into panel 2 on entering it (empty when it has none).
    static QString toolHint(const QString &bar, const QString &key);
    /// An option box was switched: its hint, if shown, tells the new state.
    void optionClicked(QCheckBox *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Area {
        Plain,
        TypeFrame,
        FocusPark,
        FileBarFrame,
        FuzzyPanel,
        Text,
        Option,
        SetBack
    };

    void pointerMoved(QWidget *widget);
    void optionHint(QCheckBox *box);
    /// path, shortened to fit panel 2 behind lead.
    QString elidedToFit(const QString &lead, const QString &path) const;
    void showIndicators(int arrow, QWidget *frame);
    void toolEntered(const QToolBar *bar, const QString &key);
    void toolLeft(const QToolBar *bar);
    bool panel2Shows(const QStringList &hints) const;
    bool running() const;
    void dialogHidden(QWidget *widget);

    MainWindow &m_window;
    std::function<QString()> m_backupFolder;
    QHash<QWidget *, Area> m_areas;
    QHash<QWidget *, QString> m_texts;
    /// The option box whose hint optionHint wrote last, and that hint.
    QCheckBox *m_hintedOption = nullptr;
    QString m_optionHint;
};
