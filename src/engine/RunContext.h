#pragma once

#include "RunState.h"

class SearchRequest;
class MainPort;
class ViewerPort;
class Dialogs;
class BackupLocation;

/// Everything a run reads and reports through; the main window fills it with
/// itself and the viewer, tests with fakes.
struct RunContext {
    RunState state;
    SearchRequest *request = nullptr;
    MainPort *main = nullptr;
    ViewerPort *viewer = nullptr;
    Dialogs *dialogs = nullptr;
    BackupLocation *backup = nullptr;
};
