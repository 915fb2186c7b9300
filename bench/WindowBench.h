#pragma once

/// Runs "window-find" or "window-replace" (argv[1]) through the main window's
/// toolbar, offscreen; prints the files found and, on standard error, the
/// run's time and the resident memory after it.
int windowBench(int argc, char *argv[]);
