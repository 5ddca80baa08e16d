#pragma once
// A file made or renamed into place is in its directory for good only once
// the directory itself has reached the disk; until then a power cut can
// bring back the old name or none.

#include <filesystem>

namespace kestrum {

// Forces the directory that holds the file to the disk; false when it
// could not be opened or synced.
bool SyncDirectoryOf(const std::filesystem::path& file);

}  // namespace kestrum
