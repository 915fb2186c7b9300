#pragma once

#include "RunRequest.h"
#include "RunState.h"

class SearchRequest;
class MainPort;
class RunEvents;
class ViewerPort;
class Dialogs;
class BackupLocation;

/// Everything a run reads and reports through; the main window fills it with
/// itself and the viewer, tests with fakes.
struct RunContext {
    RunState state;
    /// The window's boxes, read into request once when a run starts.
    SearchRequest *requestSource = nullptr;
    /// What the current run searches for and where.
    RunRequest request;
    /// When set, the next run takes this instead of the window's boxes.
    const RunRequest *heldRequest = nullptr;
    MainPort *main = nullptr;
    /// Where the run reports what it does.
    RunEvents *events = nullptr;
    ViewerPort *viewer = nullptr;
    Dialogs *dialogs = nullptr;
    BackupLocation *backup = nullptr;

    /// Takes the request a run works from out of the window.
    void takeRequest()
    {
        if (heldRequest)
            request = *heldRequest;
        else
            request = requestSource ? RunRequest::takenFrom(*requestSource) : RunRequest();
    }
    /// Asks the run under way to stop; it ends at its next yield.
    void requestStop() { state.stopRequested = true; }
    /// What the window's boxes ask for now, for a search outside a run's walk.
    RunRequest currentTerms() const
    {
        return requestSource ? RunRequest::termsOf(*requestSource) : RunRequest();
    }
};
