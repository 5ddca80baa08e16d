#pragma once
// The per-user key/value store behind the settings and records: named
// sections of named text values. The store reaches it only through this
// pair of operations and the commit that ends a save.

#include <string>
#include <string_view>

namespace kestrum {

class ProfileBackend {
 public:
  virtual ~ProfileBackend() = default;
  // The stored text, or defaultText when the value is missing or cannot be read.
  virtual std::string GetProfileString(std::string_view section, std::string_view entry,
                                       std::string_view defaultText) = 0;
  virtual void WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) = 0;
  // Makes every value written so far durable before it returns; false when
  // they did not reach the store. A failed commit leaves what was stored
  // before intact.
  virtual bool Commit() = 0;
};

}  // namespace kestrum
