// Arbitrary checkpoint files: refused or read, never a crash; and what is
// read is exactly what the bytes said. Each input is tried as it stands and
// with its checksum made whole, so that the fuzzer reaches the records
// behind the checksum too.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch/BatchSequence.h"
#include "batch/Checkpoint.h"

namespace {

using namespace kestrum;

// The batch the seed corpus was saved by.
BatchOptions CorpusBatch() {
  BatchOptions batch;
  batch.seed = 7;
  batch.limits.tenhou = 3;
  return batch;
}

void TryDecoding(std::string_view bytes) {
  const BatchOptions batch = CorpusBatch();
  const CheckpointRead read = DecodeCheckpoint(bytes, batch);
  if (!read.state) {
    if (read.problem.empty()) std::abort();
    return;
  }
  // A checkpoint of the format before the log journal is written anew in
  // the current one; that, read back, must write the same bytes again.
  const std::string again = EncodeCheckpoint(batch, *read.state, read.journal);
  const CheckpointRead reread = DecodeCheckpoint(again, batch);
  if (!reread.state || EncodeCheckpoint(batch, *reread.state, reread.journal) != again ||
      (again != bytes && bytes.substr(19, 4) == again.substr(19, 4))) {
    std::fprintf(stderr, "broken: a checkpoint read back does not write the same bytes\n");
    std::abort();
  }
  BatchSequence sequence(batch.limits);
  sequence.Resume(*read.state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TryDecoding(bytes);
  std::string sealed(bytes);
  const std::uint64_t checksum = CheckpointChecksum(sealed);
  for (int i = 0; i < 8; ++i) sealed += static_cast<char>(checksum >> (8 * i));
  TryDecoding(sealed);
  return 0;
}
