#pragma once

#include <QString>

/// A window's search and replacement boxes as a dialog or another window reads
/// and fills them, without knowing the window or its controls.
class SearchBoxes {
public:
    enum class Box { Find, Replace, FirstPart, SecondPart, FuzzyReplace };

    virtual ~SearchBoxes() = default;

    virtual QString boxText(Box box) const = 0;
    virtual void setBoxText(Box box, const QString &text) = 0;
};
