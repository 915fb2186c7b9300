#pragma once

/// Runs "window-find" or "window-replace" (argv[1]) through the main window's
/// toolbar, offscreen; prints the files found and, on standard error, the
/// run's time, the resident memory after it and the longest time between two
/// passes of the event loop during it.
int windowBench(int argc, char *argv[]);
