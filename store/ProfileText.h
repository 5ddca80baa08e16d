#pragma once
// The text of the settings file, read and written by the store itself:
//
//   [RECORD]
//   ACCUMULATIONCNT=41
//   ...
//
//   [SETTING]
//   SPEED=10
//
// It is the layout QSettings gives an INI file, so a file the program wrote
// before reads the same and is written again byte for byte. Every value is
// text: the typed forms an INI writer may leave in a hand-made file
// ("@Variant(...)", "@Rect(...)" and the like) are never decoded (decoding
// one is how a few bytes could ask for gigabytes); such a value reads as
// missing, so the field gets its default. Escapes, quotes, comments and
// comma-separated lists of a hand-edited file read as the text a person
// typed, a list joined by ", ".

#include <map>
#include <string>
#include <string_view>

namespace kestrum {

// "SECTION/KEY" (just "KEY" before any section) to its text, bytes as they
// stand in the file after unescaping (UTF-8 where the file is).
using ProfileEntries = std::map<std::string, std::string>;

// Never fails: a line that is neither a section nor a key with "=" is
// skipped, and so is a value in a typed form.
ProfileEntries ParseProfileText(std::string_view text);

// Sections in name order, keys in name order within each, a blank line
// between sections; values escaped and quoted where a reader would
// otherwise take them apart.
std::string ProfileTextOf(const ProfileEntries& entries);

}  // namespace kestrum
