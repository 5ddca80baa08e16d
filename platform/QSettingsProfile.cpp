#include "platform/QSettingsProfile.h"

#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <sys/stat.h>

#include "os/Files.h"

namespace kestrum {

namespace {

constexpr auto kOrganization = "Local AppWizard-Generated Applications";
constexpr auto kApplication = "kestrum";

QString Key(std::string_view section, std::string_view entry) {
  return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())) + u'/' +
         QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
}

QString FromBytes(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Which file a name stands for: the file is always replaced by a new one
// when it is written, never rewritten in place.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const QString& fileName) {
  struct stat info {};
  if (::stat(QFile::encodeName(fileName).constData(), &info) != 0) return {};
  return {true, info.st_dev, info.st_ino};
}

// Only the user's own file counts, as the user's registry key did: the
// organisation-wide and system-wide files QSettings would fall back on are
// not looked at.
QString UserProfileFileName() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kOrganization),
                   QString::fromLatin1(kApplication))
      .fileName();
}

}  // namespace

QSettingsProfile::QSettingsProfile() : QSettingsProfile(UserProfileFileName()) {}

QSettingsProfile::QSettingsProfile(const QString& fileName) : fileName_(fileName.toStdString()) {}

QSettings& QSettingsProfile::Settings() {
  if (!settings_) settings_ = std::make_unique<QSettings>(QString::fromStdString(fileName_), QSettings::NativeFormat);
  return *settings_;
}

QSettingsProfile::~QSettingsProfile() = default;

// The file form reads "1, 2" as a list and "@Variant(...)" as a typed value;
// a hand-edited value should still read as the text that was typed, so a
// list is joined again, and a value that is no text at all is treated as
// missing.
std::string QSettingsProfile::GetProfileString(std::string_view section, std::string_view entry,
                                               std::string_view defaultText) {
  const QVariant value = Settings().value(Key(section, entry));
  if (!value.isValid()) return std::string(defaultText);
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u", ").toStdString();
  if (!value.canConvert<QString>()) return std::string(defaultText);
  return value.toString().toStdString();
}

void QSettingsProfile::WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) {
  Settings().setValue(Key(section, entry), FromBytes(value));
}

// QSettings keeps the first error it met for the life of the object, and a
// file it could not parse (hand-edited, say) reads as a format error but is
// still written. So every commit ends its object (the next use makes a new
// one, when the cause of a failure may have passed), and after a format
// error the outcome is read from the file itself: a write that went through
// put a new file in the old one's place.
bool QSettingsProfile::Commit() {
  QSettings& settings = Settings();
  const FileIdentity identityBefore = IdentityOf(settings.fileName());
  settings.sync();
  bool stored = settings.status() == QSettings::NoError;
  if (settings.status() == QSettings::FormatError) {
    const FileIdentity identityAfter = IdentityOf(settings.fileName());
    stored = identityAfter.exists && !(identityAfter == identityBefore);
  }
  // QSettings syncs the new file before it renames it into place, but not
  // the directory: without this a power cut could bring the old records
  // back while the log entry written just before them survives.
  if (stored) stored = os::SyncDirectoryOf(settings.fileName().toStdString());
  settings_.reset();
  return stored;
}

std::string QSettingsProfile::FileName() const { return fileName_; }

}  // namespace kestrum
