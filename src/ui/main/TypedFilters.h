#pragma once

#include <QObject>

class MainWindow;

/// The filter box takes typed patterns: Enter chooses a listed one or adds a new
/// one to the list (checked as the filter manager checks it); leaving the box
/// without Enter shows the chosen filter again. The filter chosen last is kept.
class TypedFilters : public QObject {
    Q_OBJECT

public:
    explicit TypedFilters(MainWindow &window);

    /// Chooses the stored last filter, or the first when it is no longer listed.
    void restoreLast();
    /// Stores the chosen filter as the last one.
    void storeChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void entered();

    MainWindow &m_w;
};
