#pragma once
// The per-user profile in the registry, where the program has always kept
// it: the key "Software\Local AppWizard-Generated Applications\kestrum" of
// HKEY_CURRENT_USER, one key per section, every value a REG_SZ of decimal text (the
// stored length counts the terminating NUL). Values another program left
// there are read as they stand; one of another type reads as missing, and
// its text form's rules (leading number, wrapping) apply to what is read.

#include <windows.h>

#include <string>
#include <string_view>

#include "store/ProfileBackend.h"

namespace kestrum::win32 {

inline constexpr const char* kProfileRoot = "Software\\Local AppWizard-Generated Applications\\kestrum";

class RegistryProfile final : public ProfileBackend {
 public:
  // root is below HKEY_CURRENT_USER; the tests give one of their own.
  explicit RegistryProfile(std::string root = kProfileRoot);

  std::string GetProfileString(std::string_view section, std::string_view entry,
                               std::string_view defaultText) override;
  void WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) override;
  // Forces the program's key to the disk; false when it could not, or when
  // a write failed since the last commit.
  bool Commit() override;

 private:
  // Opens, creating where missing, the section's key; null on failure.
  HKEY OpenSection(std::string_view section);

  std::string root_;
  bool writesFailed_ = false;
};

}  // namespace kestrum::win32
