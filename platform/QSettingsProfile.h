#pragma once
// The per-user profile on QSettings, in the store's own text format (see
// store/ProfileText.h): the registry key of
// old on Windows and "~/.config/Local AppWizard-Generated Applications/
// kestrum.conf" here, one group per section, every value a string.

#include <memory>
#include <string>
#include <string_view>

#include "store/ProfileBackend.h"

class QSettings;
class QString;

namespace kestrum {

class QSettingsProfile final : public ProfileBackend {
 public:
  QSettingsProfile();
  // The same native-format store in a file of the caller's choosing.
  explicit QSettingsProfile(const QString& fileName);
  ~QSettingsProfile() override;

  QSettingsProfile(const QSettingsProfile&) = delete;
  QSettingsProfile& operator=(const QSettingsProfile&) = delete;

  std::string GetProfileString(std::string_view section, std::string_view entry,
                               std::string_view defaultText) override;
  void WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) override;
  // Writes the file (atomically: a new file renamed over the old one) and
  // forces it and its directory to the disk; false when that failed.
  bool Commit() override;

  std::string FileName() const;
  // The user's own store file, which the default profile uses.
  static QString UserFileName();

 private:
  QSettings& Settings();

  std::string fileName_;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace kestrum
