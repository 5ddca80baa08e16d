#include "win32/RegistryProfile.h"

#include <vector>

namespace kestrum::win32 {

namespace {

// The program's longest text is a count of 19 digits; a value larger than
// this is no text of its own, and reads as missing rather than make the
// program allocate what a damaged value claims.
constexpr DWORD kLongestValue = 1 << 20;

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
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kLongestValue) return std::string(defaultText);
  std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
  DWORD read = size;
  // A value that grew between the two questions is one being rewritten by
  // another program; it counts as unreadable.
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::string(defaultText);
  }
  // The text up to its NUL; a value stored without one ends at its size.
  std::string text(data.data(), std::min(read, size));
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

// The registry writes its hives to the disk lazily; the records saved right
// after a logged heavenly hand should survive a power cut as the entry does.
bool RegistryProfile::Commit() {
  bool stored = !writesFailed_;
  writesFailed_ = false;
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, root_.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) return false;
  if (RegFlushKey(root) != ERROR_SUCCESS) stored = false;
  RegCloseKey(root);
  return stored;
}

}  // namespace kestrum::win32
