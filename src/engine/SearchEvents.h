#pragma once

#include <QtGlobal>

/// What a search of the shown document reports: where it found its match and
/// where the next search of the document starts. A run reports through its
/// RunEvents; the viewer's own searches report to the viewer itself.
class SearchEvents {
public:
    virtual ~SearchEvents() = default;

    /// The search found its match at position (-1: none) in the document's
    /// length characters.
    virtual void positionShown(qint32 position, qint64 length) = 0;
    /// The next search of the document starts at start (below 0: at its top).
    virtual void searchStartMoved(qint32 start) = 0;
};
