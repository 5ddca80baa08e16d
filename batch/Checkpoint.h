#pragma once
// The checkpoint of a batch: the results of every finished block, so that a
// batch killed at any moment carries on where it was and ends with exactly
// the result it would have had. A file is only ever trusted when it is
// whole (its checksum holds), made by this version with this block size,
// and made by a batch of the same seed and limits.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchResult.h"
#include "batch/BatchSequence.h"

namespace kestrum {

inline constexpr std::string_view kProgramVersion = "1.11";

// The log entries a save is about to append, kept in the checkpoint before
// they are appended: a batch killed anywhere between the two finishes them
// when it carries on, skipping those that reached the log, so that the log
// holds each heavenly hand once.
struct LogJournal {
  std::string file;                  // the log, as an absolute path; empty: none
  std::uint64_t sizeBefore = 0;      // its size just before the entries were appended
  std::vector<std::string> entries;  // each entry's bytes, in the order they are appended
};

std::string EncodeCheckpoint(const BatchOptions& batch, const SequenceState& state, const LogJournal& journal = {});

// FNV-1a over the bytes, kept at the end of the file: enough to tell a torn
// or damaged file from a whole one; nobody forges a checkpoint.
std::uint64_t CheckpointChecksum(std::string_view bytes);

struct CheckpointRead {
  std::optional<SequenceState> state;
  LogJournal journal;
  std::string problem;  // why it was refused, when state is empty
};

// Refuses bytes that are damaged, cut short or of another kind, and a
// checkpoint of another version, seed or limit, saying which.
CheckpointRead DecodeCheckpoint(std::string_view bytes, const BatchOptions& batch);

// Replaces the file as a whole: written beside it under another name,
// forced to the disk, then renamed over it. Returns the problem, if any.
std::optional<std::string> SaveCheckpointFile(const std::filesystem::path& file, std::string_view bytes);

struct CheckpointFile {
  bool exists = false;
  std::string bytes;
  std::string problem;  // set when it exists but cannot be read
};
CheckpointFile LoadCheckpointFile(const std::filesystem::path& file);

}  // namespace kestrum
