#pragma once

struct RunContext;

/// A Replace without subdirectories: each selected file of the top folder,
/// backed up first when asked, replaced and saved (or, in a preview, handed
/// to its sink), until a stop.
void replaceInSelectedFiles(RunContext &ctx);
