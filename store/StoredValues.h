#pragma once
// The twelve values that outlive the process, in the order in which they are
// loaded and saved. The longest run comes before the shortest.

#include <array>
#include <string_view>

namespace kestrum {

enum class TextForm { Count, Number, Flag };

struct StoredValue {
  std::string_view section;
  std::string_view name;
  std::string_view defaultText;
  TextForm form;
};

inline constexpr std::string_view kRecordSection = "RECORD";
inline constexpr std::string_view kSettingSection = "SETTING";

inline constexpr std::array<StoredValue, 12> kStoredValues = {{
    {kRecordSection, "TOTALCNT", "0", TextForm::Count},
    {kRecordSection, "TENHOCNT", "0", TextForm::Count},
    {kRecordSection, "MAXTENHOCNT", "0", TextForm::Count},
    {kRecordSection, "MINTENHOCNT", "0", TextForm::Count},
    {kRecordSection, "ACCUMULATIONCNT", "0", TextForm::Count},
    {kSettingSection, "SPEED", "500", TextForm::Number},
    {kSettingSection, "INTERVAL", "1", TextForm::Number},
    {kSettingSection, "CONTINUE", "0", TextForm::Flag},
    {kSettingSection, "LOGFILE", "1", TextForm::Flag},
    {kSettingSection, "SOUND", "1", TextForm::Flag},
    {kSettingSection, "AUTOSTART", "0", TextForm::Flag},
    {kSettingSection, "ACCUMULATION", "1", TextForm::Flag},
}};

}  // namespace kestrum
