#pragma once

#include <QString>

/// The document as the visible text control shows it. The control keeps one
/// separator per line, so CR LF shows as LF; these helpers map positions between
/// the buffer and the control and write an edit back without touching the rest
/// of the buffer (its line ends and every other character stay as loaded).
namespace ViewerText {

/// The buffer text with CR LF and lone CR shown as LF, and U+2029 as LF.
QString toView(const QString &bufferText);
/// The control's raw text with its block separators as LF.
QString fromDocument(const QString &rawText);
/// Position in the control for a buffer position, counted on from a known pair
/// (fromBuffer maps to fromView; 0 to 0 always does), so a position near it
/// costs little in a large document.
int toViewPositionFrom(const QString &bufferText, int fromBuffer, int fromView, int bufferPosition);
/// Buffer position for a position in the control.
int toBufferPosition(const QString &bufferText, int viewPosition);
/// The buffer text after the control's text went from oldView to newView: only
/// the changed stretch is replaced, new line breaks take the buffer's line end.
QString mergeEdit(const QString &bufferText, const QString &oldView, const QString &newView);

}  // namespace ViewerText
