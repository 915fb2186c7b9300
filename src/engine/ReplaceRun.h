#pragma once

struct RunContext;

/// The Replace command.
void runReplace(RunContext &ctx);

/// The Replace's files, walked or selected as the request says, each replaced
/// and saved (or, in a preview, handed to its sink).
void replaceOverRequest(RunContext &ctx);
