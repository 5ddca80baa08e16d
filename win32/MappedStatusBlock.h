#pragma once
// The 512-byte status block as other Windows programs have always found it:
// a file mapping on the paging file named "KESTRUM SOFT", created or, when
// another process holds one of that name, opened. Each game maps it, copies
// the text and its zero byte to the start and unmaps it.

#include <windows.h>

#include <string>
#include <string_view>

#include "engine/RunPorts.h"

namespace kestrum::win32 {

inline constexpr const char* kStatusMappingName = "KESTRUM SOFT";
inline constexpr DWORD kStatusBlockSize = 512;

class MappedStatusBlock final : public StatusBlockPort {
 public:
  explicit MappedStatusBlock(std::string name = kStatusMappingName);
  ~MappedStatusBlock() override;

  MappedStatusBlock(const MappedStatusBlock&) = delete;
  MappedStatusBlock& operator=(const MappedStatusBlock&) = delete;

  void Create() override;
  void Write(std::string_view text) override;
  void Close() override;

  bool IsOpen() const { return mapping_ != nullptr; }

 private:
  std::string name_;
  HANDLE mapping_ = nullptr;
};

}  // namespace kestrum::win32
