#include "cli/HandLine.h"

#include <array>

namespace kestrum {
namespace {

struct HonourSpelling {
  std::string_view bytes;
  TileCode code;
};

// UTF-8 first (three bytes, leads E4..E8), then Shift_JIS (two bytes, leads
// 90..96): the leads never overlap, so the order only saves comparisons.
constexpr std::array<HonourSpelling, 14> kHonourSpellings = {{
    {"\xE6\x9D\xB1", 28}, {"\xE5\x8D\x97", 29}, {"\xE8\xA5\xBF", 30}, {"\xE5\x8C\x97", 31},
    {"\xE7\x99\xBD", 32}, {"\xE7\x99\xBA", 33}, {"\xE4\xB8\xAD", 34},
    {"\x93\x8C", 28}, {"\x93\xEC", 29}, {"\x90\xBC", 30}, {"\x96\x6B", 31},
    {"\x94\x92", 32}, {"\x94\xAD", 33}, {"\x92\x86", 34},
}};

constexpr std::string_view kUtf8IdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kShiftJisIdeographicSpace = "\x81\x40";

// Blanks between names: ASCII space, tab and CR, and the full-width space in
// either encoding.
std::size_t BlankLength(std::string_view rest) {
  const char c = rest.front();
  if (c != ' ' && c != '\t' && c != '\r' && c != '\xE3' && c != '\x81' && c != '\v' && c != '\f') return 0;
  if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') return 1;
  if (rest.starts_with(kUtf8IdeographicSpace)) return kUtf8IdeographicSpace.size();
  if (rest.starts_with(kShiftJisIdeographicSpace)) return kShiftJisIdeographicSpace.size();
  return 0;
}

// The name as the terminal shows it: suit tiles are ASCII, honours UTF-8.
std::string DisplayName(TileCode code) {
  if (code >= 28) return std::string(kHonourSpellings[static_cast<std::size_t>(code - 28)].bytes);
  return std::string(TileNames()[code]);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSuitLetter(char c) { return c == 'm' || c == 'p' || c == 's' || c == 'z'; }

// One tile of the compact notation. A 0 in a suit is the red five of the
// online games: the wall here has no red tiles, so it is a five.
TileCode GroupTile(char digit, char suit) {
  const int rank = digit - '0';
  switch (suit) {
    case 'm': return rank == 0 ? 5 : rank;
    case 'p': return rank == 0 ? 14 : 9 + rank;
    case 's': return rank == 0 ? 23 : 18 + rank;
    case 'z': return rank >= 1 && rank <= 7 ? 27 + rank : 0;
    default: return 0;
  }
}

// The digits at the start of rest and the suit letter after them (0 when
// something else follows). "1m" is a group of one.
struct DigitGroup {
  std::string_view digits;
  char suit = 0;
  std::size_t Length() const { return digits.size() + (suit != 0 ? 1 : 0); }
};

DigitGroup ReadDigitGroup(std::string_view rest) {
  std::size_t count = 0;
  while (count < rest.size() && IsDigit(rest[count])) ++count;
  DigitGroup group{rest.substr(0, count)};
  if (count < rest.size() && IsSuitLetter(rest[count])) group.suit = rest[count];
  return group;
}

struct NameMatch {
  TileCode code = 0;
  std::size_t length = 0;
};

constexpr unsigned Byte(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

constexpr unsigned KeyOf(std::string_view bytes) {
  unsigned key = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) key = key << 8 | Byte(bytes, i);
  return key;
}

// The honour whose spelling (of the given length) has this key, or 0.
TileCode HonourWithKey(unsigned key, std::size_t length) {
  for (const HonourSpelling& honour : kHonourSpellings)
    if (honour.bytes.size() == length && KeyOf(honour.bytes) == key) return honour.code;
  return 0;
}

// An honour written as a character; the lead byte decides before any
// comparison.
NameMatch MatchHonour(std::string_view rest) {
  const unsigned lead = Byte(rest, 0);
  if (rest.size() < 2) return {};
  if (lead >= 0xE4 && lead <= 0xE8 && rest.size() >= 3) {
    if (const TileCode code = HonourWithKey(lead << 16 | Byte(rest, 1) << 8 | Byte(rest, 2), 3)) return {code, 3};
    return {};
  }
  if (lead >= 0x90 && lead <= 0x96) {
    if (const TileCode code = HonourWithKey(lead << 8 | Byte(rest, 1), 2)) return {code, 2};
  }
  return {};
}

// What stands where no name matched, for the message: up to the next blank,
// at most a few bytes.
std::string UnknownText(std::string_view rest) {
  std::size_t length = 0;
  while (length < rest.size() && length < 6 && BlankLength(rest.substr(length)) == 0) ++length;
  std::string text;
  for (char c : rest.substr(0, length)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      text += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text;
}

std::string NoSuitError(const DigitGroup& group, std::size_t pos) {
  return "digits \"" + std::string(group.digits) + "\" without a suit letter (m, p, s or z) at byte " +
         std::to_string(pos + 1);
}

std::string UnknownDigitError(char digit, char suit, std::size_t pos) {
  return "unknown tile name \"" + std::string{digit, suit} + "\" at byte " + std::to_string(pos + 1) +
         " (honours are 1z to 7z)";
}

std::string FifthTileError(TileCode code) {
  return "a fifth " + DisplayName(code) + ": the wall holds four of each kind";
}

// Counts the copies of each kind as the tiles come; the counts give the
// sorted hand directly, cheaper than sorting it.
class TileCounts {
 public:
  // false for a fifth copy.
  bool Add(TileCode code) {
    ++tiles_;
    return ++copies_[static_cast<std::size_t>(code)] <= kCopiesPerKind;
  }
  int Tiles() const { return tiles_; }
  void FillSorted(Hand& hand) const {
    std::size_t slot = 0;
    for (TileCode code = 1; code <= kTileKinds; ++code)
      for (int copy = 0; copy < copies_[static_cast<std::size_t>(code)]; ++copy) hand[slot++] = code;
  }

 private:
  std::array<int, kTileKinds + 1> copies_{};
  int tiles_ = 0;
};

// Reads the group or the name at byte pos; its length in bytes, or 0 with
// the error set.
std::size_t ReadNext(TileCounts& counts, std::string_view line, std::size_t pos, std::string& error) {
  const std::string_view rest = line.substr(pos);
  if (IsDigit(rest.front())) {
    const DigitGroup group = ReadDigitGroup(rest);
    if (group.suit == 0) {
      error = NoSuitError(group, pos);
      return 0;
    }
    for (std::size_t i = 0; i < group.digits.size(); ++i) {
      const TileCode code = GroupTile(group.digits[i], group.suit);
      if (code == 0) {
        error = UnknownDigitError(group.digits[i], group.suit, pos + i);
        return 0;
      }
      if (!counts.Add(code)) {
        error = FifthTileError(code);
        return 0;
      }
    }
    return group.Length();
  }
  const NameMatch match = MatchHonour(rest);
  if (match.length == 0) {
    error = "unknown tile name \"" + UnknownText(rest) + "\" at byte " + std::to_string(pos + 1);
    return 0;
  }
  if (!counts.Add(match.code)) {
    error = FifthTileError(match.code);
    return 0;
  }
  return match.length;
}

}  // namespace

HandLineResult ParseHandLine(std::string_view line, HandSizes sizes) {
  HandLineResult result;
  TileCounts counts;
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (const std::size_t blank = BlankLength(line.substr(pos)); blank > 0) {
      pos += blank;
      continue;
    }
    const std::size_t length = ReadNext(counts, line, pos, result.error);
    if (length == 0) return result;
    pos += length;
  }
  const bool thirteen = sizes == HandSizes::kThirteenOrFourteen && counts.Tiles() == kHandSize - 1;
  if (counts.Tiles() != kHandSize && !thirteen) {
    result.error = std::to_string(counts.Tiles()) + (counts.Tiles() == 1 ? " tile" : " tiles") +
                   (sizes == HandSizes::kFourteen ? ", a hand has 14" : ", a hand has 13 or 14");
    return result;
  }
  counts.FillSorted(result.hand);
  result.tiles = counts.Tiles();
  result.ok = true;
  return result;
}

}  // namespace kestrum
