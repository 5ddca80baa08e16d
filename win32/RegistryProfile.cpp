#include "win32/RegistryProfile.h"

#include <vector>

namespace kestrum::win32 {

namespace {

// A stored text longer than this is not one the program wrote (its longest
// is a count of 19 digits); reading stops here rather than allocate what a
// damaged value claims.
constexpr DWORD kLongestValue = 4096;

class KeyHandle {
 public:
  explicit KeyHandle(HKEY key) : key_(key) {}
  ~KeyHandle() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

}  // namespace

RegistryProfile::RegistryProfile(std::string root) : root_(std::move(root)) {}

HKEY RegistryProfile::OpenSection(std::string_view section) {
  const std::string path = root_ + "\\" + std::string(section);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

std::string RegistryProfile::GetProfileString(std::string_view section, std::string_view entry,
                                              std::string_view defaultText) {
  const KeyHandle key(OpenSection(section));
  if (key.get() == nullptr) return std::string(defaultText);
  const std::string name(entry);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::string(defaultText);
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string(defaultText);
  if (size > kLongestValue) size = kLongestValue;
  std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
  DWORD read = size;
  const LONG result =
      RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return std::string(defaultText);
  // The text up to its NUL; a value stored without one ends at its size.
  std::string text(data.data(), std::min<std::size_t>(read, size));
  return text.substr(0, text.find('\0'));
}

void RegistryProfile::WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) {
  const KeyHandle key(OpenSection(section));
  if (key.get() == nullptr) {
    writesFailed_ = true;
    return;
  }
  const std::string name(entry);
  const std::string text(value);
  if (RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
    writesFailed_ = true;
  }
}

bool RegistryProfile::Commit() {
  const bool stored = !writesFailed_;
  writesFailed_ = false;
  return stored;
}

}  // namespace kestrum::win32
