#include "platform/QSettingsProfile.h"

#include <QFile>
#include <QIODevice>
#include <QLockFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QSysInfo>
#include <QVariant>

#include <sys/stat.h>
#include <unistd.h>

#include "os/Files.h"
#include "store/ProfileText.h"

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

// The store's own text format in place of QSettings' INI reader: values are
// text and nothing in the file is decoded as a typed value. QSettings still
// does the rest: the lock beside the file, the new file renamed over the
// old one, the cache shared by the objects of one process.
bool ReadProfile(QIODevice& device, QSettings::SettingsMap& map) {
  const QByteArray bytes = device.readAll();
  for (const auto& [key, value] : ParseProfileText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
    map.insert(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())),
               QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
  return true;
}

bool WriteProfile(QIODevice& device, const QSettings::SettingsMap& map) {
  ProfileEntries entries;
  for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
    const QVariant& value = it.value();
    const QString text =
        value.typeId() == QMetaType::QStringList ? value.toStringList().join(u", ") : value.toString();
    entries[it.key().toStdString()] = text.toStdString();
  }
  const std::string text = ProfileTextOf(entries);
  return device.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

QSettings::Format ProfileFormat() {
  static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("conf"), ReadProfile, WriteProfile);
  return format;
}

// A lock file beside the store that names this very process was left by an
// earlier process of the same id (a container, ids handed out again after a
// kill): no other process can hold it, and this one holds the lock only
// inside a save. QLockFile would take it for a live holder and wait half a
// minute before it calls it stale; it goes at once instead. A lock made on
// another machine (a shared home) is left to QLockFile's own rules.
void RemoveOwnLeftoverLock(const QString& fileName) {
  QLockFile lock(fileName + QStringLiteral(".lock"));
  qint64 pid = 0;
  QString host;
  QString application;
  if (!lock.getLockInfo(&pid, &host, &application)) return;
  if (pid != static_cast<qint64>(::getpid())) return;
  if (!host.isEmpty() && host != QSysInfo::machineHostName()) return;
  lock.removeStaleLockFile();
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

QString QSettingsProfile::UserFileName() { return UserProfileFileName(); }

QSettingsProfile::QSettingsProfile(const QString& fileName) : fileName_(fileName.toStdString()) {}

QSettings& QSettingsProfile::Settings() {
  if (!settings_) settings_ = std::make_unique<QSettings>(QString::fromStdString(fileName_), ProfileFormat());
  return *settings_;
}

QSettingsProfile::~QSettingsProfile() = default;

// The file's own reader gives every value as text (a list joined by ", ",
// a typed form left out); what another QSettings user may have set is
// still turned into text the same way.
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
  RemoveOwnLeftoverLock(settings.fileName());
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
