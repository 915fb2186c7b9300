#pragma once

#include <QString>

class DocumentBuffer;

/// The viewer as the engine uses it: the buffer of every run, the selection in
/// its list of files, showing and hiding. What a run lists and
/// shows goes through RunEvents. The viewer window implements it by
/// writing its controls; tests implement it with plain fields.
class ViewerPort {
public:
    virtual ~ViewerPort() = default;

    virtual DocumentBuffer &buffer() = 0;
    /// True: the next buffer change or list selection comes from the run, and
    /// the viewer's reaction to it only ends the skip; false: it reacts again.
    virtual void setSkipNextReaction(bool skip) = 0;

    virtual void selectListItem(int index) = 0;

    /// Offers to save unsaved changes in the shown document before something else
    /// is loaded into the buffer; false when they could not be saved and stay.
    virtual bool offerSaveModified() = 0;

    virtual void showViewer() = 0;  ///< shown, not modal
    virtual void hideViewer() = 0;
    /// After a report: clears "Resize txtbox", captions the "resize" tool
    /// "Hide File Info", lays the controls out again and shows the viewer.
    virtual void showReportLayout() = 0;
};
