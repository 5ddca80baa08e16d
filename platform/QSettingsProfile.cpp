#include "platform/QSettingsProfile.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

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

}  // namespace

QSettingsProfile::QSettingsProfile()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication))) {}

QSettingsProfile::QSettingsProfile(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::NativeFormat)) {}

QSettingsProfile::~QSettingsProfile() = default;

// The file form reads "1, 2" as a list and "@Variant(...)" as a typed value;
// a hand-edited value should still read as the text that was typed, so a
// list is joined again, and a value that is no text at all is treated as
// missing.
std::string QSettingsProfile::GetProfileString(std::string_view section, std::string_view entry,
                                               std::string_view defaultText) {
  const QVariant value = settings_->value(Key(section, entry));
  if (!value.isValid()) return std::string(defaultText);
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u", ").toStdString();
  if (!value.canConvert<QString>()) return std::string(defaultText);
  return value.toString().toStdString();
}

void QSettingsProfile::WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) {
  settings_->setValue(Key(section, entry), FromBytes(value));
}

bool QSettingsProfile::Commit() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

std::string QSettingsProfile::FileName() const { return settings_->fileName().toStdString(); }

}  // namespace kestrum
