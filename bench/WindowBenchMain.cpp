// scrivlane-window-bench: "window-find" and "window-replace" time the runs of
// scrivlane-cli through the main window, offscreen (bench/run-bench.sh window).

#include "WindowBench.h"

int main(int argc, char *argv[])
{
    return windowBench(argc, argv);
}
