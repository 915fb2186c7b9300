#pragma once

/// Memory the program has freed but the allocator still holds.
namespace FreeMemory {

/// Gives it back to the system. The allocator keeps the room of the largest
/// texts a run has held, scattered between what stays (the list of files, the
/// report), so a run over thousands of files would leave it all resident.
void returnToSystem();

}  // namespace FreeMemory
