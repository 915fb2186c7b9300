#pragma once

#include <QObject>

class MainWindow;

/// The filter box takes typed patterns: Enter chooses a listed one or adds a new
/// one to the list (checked as the filter manager checks it); leaving the box
/// without Enter shows the chosen filter again, and a run started while it
/// shows a typed one takes that one. The filter chosen last is kept.
class TypedFilters : public QObject {
    Q_OBJECT

public:
    explicit TypedFilters(MainWindow &window);

    /// Chooses the stored last filter, or the first when it is no longer listed.
    void restoreLast();
    /// Stores the chosen filter as the last one.
    void storeChosen();
    /// Chooses a pattern typed and not yet entered, as Enter would; false when
    /// it was refused (and said so), so that no run starts on another filter.
    bool takeShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// False when the typed pattern was refused.
    bool entered();

    MainWindow &m_w;
};
