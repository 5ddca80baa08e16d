#include "win32/MappedStatusBlock.h"

#include <algorithm>
#include <cstring>

namespace kestrum::win32 {

MappedStatusBlock::MappedStatusBlock(std::string name) : name_(std::move(name)) {}

MappedStatusBlock::~MappedStatusBlock() { Close(); }

void MappedStatusBlock::Create() {
  if (mapping_ != nullptr) return;
  mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kStatusBlockSize, name_.c_str());
}

// The text always fits with room to spare; should one not, it is cut so that
// the zero byte still ends it inside the block.
void MappedStatusBlock::Write(std::string_view text) {
  if (mapping_ == nullptr) return;
  void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, kStatusBlockSize);
  if (view == nullptr) return;
  const std::size_t size = std::min<std::size_t>(text.size(), kStatusBlockSize - 1);
  auto* bytes = static_cast<char*>(view);
  std::memcpy(bytes, text.data(), size);
  bytes[size] = '\0';
  UnmapViewOfFile(view);
}

void MappedStatusBlock::Close() {
  if (mapping_ == nullptr) return;
  CloseHandle(mapping_);
  mapping_ = nullptr;
}

}  // namespace kestrum::win32
