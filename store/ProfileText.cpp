#include "store/ProfileText.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace kestrum {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kLowerHexDigits[] = "0123456789abcdef";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsKeyCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A code point as UTF-8; the escapes of a value may name any.
void AppendCodePoint(std::string& out, std::uint32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// "%XX" is a byte and "\" stands for "/" in a written key or section name.
std::string UnescapedKey(std::string_view key) {
  std::string out;
  out.reserve(key.size());
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%' && i + 2 < key.size() && IsHexDigit(key[i + 1]) && IsHexDigit(key[i + 2])) {
      out += static_cast<char>(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2]));
      i += 2;
    } else {
      out += key[i] == '\\' ? '/' : key[i];
    }
  }
  return out;
}

std::string SectionName(std::string_view written) {
  if (EqualsIgnoringCase(written, "General")) return {};
  if (written == "%General") return "General";
  return UnescapedKey(written);
}

// One escape after a backslash at text[at]; returns the index after it.
std::size_t UnescapeOne(std::string_view text, std::size_t at, std::string& out) {
  const char c = text[at];
  switch (c) {
    case 'a': out += '\a'; return at + 1;
    case 'b': out += '\b'; return at + 1;
    case 'f': out += '\f'; return at + 1;
    case 'n': out += '\n'; return at + 1;
    case 'r': out += '\r'; return at + 1;
    case 't': out += '\t'; return at + 1;
    case 'v': out += '\v'; return at + 1;
    case 'x': {
      std::uint32_t code = 0;
      std::size_t i = at + 1;
      for (; i < text.size() && IsHexDigit(text[i]); ++i) code = code > 0x10FFFF ? code : code * 16 + HexValue(text[i]);
      AppendCodePoint(out, code);
      return i;
    }
    default:
      if (IsOctalDigit(c)) {
        std::uint32_t code = 0;
        std::size_t i = at;
        for (; i < text.size() && IsOctalDigit(text[i]); ++i) code = code > 0x10FFFF ? code : code * 8 + (text[i] - '0');
        AppendCodePoint(out, code);
        return i;
      }
      // \" \' \\ \? and anything unknown: the character itself.
      out += c;
      return at + 1;
  }
}

// The items of a value: quotes keep what they hold, blanks around unquoted
// text go, ";" outside quotes starts a comment and "," parts items.
std::string ValueText(std::string_view raw, bool& isList) {
  std::string joined;
  std::string item;
  std::size_t kept = 0;  // item's length up to its last quoted or non-blank byte
  bool inQuotes = false;
  bool started = false;
  isList = false;
  const auto endItem = [&] {
    item.resize(kept);
    if (isList) joined += ", ";
    joined += item;
    item.clear();
    kept = 0;
    started = false;
  };
  std::size_t i = 0;
  while (i < raw.size()) {
    const char c = raw[i];
    if (!inQuotes && c == ';') break;
    if (!inQuotes && c == ',') {
      endItem();
      isList = true;
      ++i;
      continue;
    }
    if (c == '"') {
      inQuotes = !inQuotes;
      started = true;
      kept = item.size();
      ++i;
      continue;
    }
    if (!inQuotes && !started && IsBlank(c)) {
      ++i;
      continue;
    }
    started = true;
    if (c == '\\' && i + 1 < raw.size()) {
      i = UnescapeOne(raw, i + 1, item);
      kept = item.size();
      continue;
    }
    item += c;
    if (inQuotes || !IsBlank(c)) kept = item.size();
    ++i;
  }
  endItem();
  return joined;
}

// The typed forms of an INI writer: "@@" is a plain "@", a byte array or
// string form holds text, every other "@Name(...)" is not text at all.
bool PlainText(std::string& value) {
  if (value.empty() || value.front() != '@') return true;
  if (value.starts_with("@@")) {
    value.erase(0, 1);
    return true;
  }
  if (value.back() != ')') return true;
  for (const std::string_view textForm : {std::string_view("@ByteArray("), std::string_view("@String(")}) {
    if (value.starts_with(textForm)) {
      value = value.substr(textForm.size(), value.size() - textForm.size() - 1);
      return true;
    }
  }
  std::size_t name = 1;
  while (name < value.size() && ((value[name] >= 'A' && value[name] <= 'Z') || (value[name] >= 'a' && value[name] <= 'z')))
    ++name;
  return !(name > 1 && name < value.size() && value[name] == '(');
}

void EscapeKey(std::string_view key, std::string& out) {
  for (const char c : key) {
    if (c == '/') {
      out += '\\';
    } else if (IsKeyCharacter(c)) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHexDigits[byte / 16];
      out += kHexDigits[byte % 16];
    }
  }
}

void AppendLowerHex(std::string& out, unsigned value) {
  std::array<char, 8> digits{};
  std::size_t n = 0;
  do {
    digits[n++] = kLowerHexDigits[value % 16];
    value /= 16;
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

// A text as an INI writer escapes it: backslash escapes for the control
// characters, quotes around it when it holds a separator or starts or ends
// with a blank; a leading "@" doubled so that it never reads as a typed
// form, and a text with a zero byte in the string form.
void EscapeValue(std::string_view value, std::string& out) {
  const std::size_t start = out.size();
  const bool hasZero = value.find('\0') != std::string_view::npos;
  std::string wrapped;
  if (hasZero) {
    wrapped = "@String(" + std::string(value) + ")";
    value = wrapped;
  } else if (!value.empty() && value.front() == '@') {
    out += '@';
  }
  bool needsQuotes = false;
  bool escapeNextIfHexDigit = false;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ';' || c == ',' || c == '=') needsQuotes = true;
    if (escapeNextIfHexDigit && IsHexDigit(c)) {
      out += "\\x";
      AppendLowerHex(out, byte);
      continue;
    }
    escapeNextIfHexDigit = false;
    switch (c) {
      case '\0': out += "\\0"; escapeNextIfHexDigit = true; break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\v': out += "\\v"; break;
      case '"':
      case '\\':
        out += '\\';
        out += c;
        break;
      default:
        if (byte <= 0x1F) {
          out += "\\x";
          AppendLowerHex(out, byte);
          escapeNextIfHexDigit = true;
        } else {
          out += c;
        }
    }
  }
  if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
    out.insert(start, 1, '"');
    out += '"';
  }
}

// "//a///b/" is "a/b", as QSettings takes a key: a key names the same value
// however its slashes were written.
std::string NormalizedKey(std::string_view key) {
  std::string out;
  out.reserve(key.size());
  for (const char c : key) {
    if (c == '/' && (out.empty() || out.back() == '/')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == '/') out.pop_back();
  return out;
}

}  // namespace

ProfileEntries ParseProfileText(std::string_view text) {
  ProfileEntries entries;
  std::string section;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      section = SectionName(Trimmed(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = UnescapedKey(Trimmed(line.substr(0, equals)));
    const std::string key = NormalizedKey(section + '/' + name);
    if (name.empty() || key.empty()) continue;
    bool isList = false;
    std::string value = ValueText(line.substr(equals + 1), isList);
    if (!isList && !PlainText(value)) continue;
    entries[key] = std::move(value);
  }
  return entries;
}

std::string ProfileTextOf(const ProfileEntries& entries) {
  // Keys before any section go first, under "[General]", as an INI reader
  // expects them there.
  std::map<std::string_view, std::vector<std::pair<std::string_view, std::string_view>>> sections;
  for (const auto& [fullKey, value] : entries) {
    const std::string_view whole(fullKey);
    const std::size_t slash = whole.find('/');
    if (slash == std::string_view::npos)
      sections[std::string_view()].emplace_back(whole, value);
    else
      sections[whole.substr(0, slash)].emplace_back(whole.substr(slash + 1), value);
  }
  std::string out;
  for (const auto& [section, keys] : sections) {
    if (!out.empty()) out += '\n';
    if (section.empty()) {
      out += "[General]";
    } else if (section == "General") {
      out += "[%General]";
    } else if (EqualsIgnoringCase(section, "general")) {
      // Read back as itself, not as the keys before any section.
      out += "[%";
      out += kHexDigits[static_cast<unsigned char>(section[0]) / 16];
      out += kHexDigits[static_cast<unsigned char>(section[0]) % 16];
      EscapeKey(section.substr(1), out);
      out += ']';
    } else {
      out += '[';
      EscapeKey(section, out);
      out += ']';
    }
    out += '\n';
    for (const auto& [key, value] : keys) {
      EscapeKey(key, out);
      out += '=';
      EscapeValue(value, out);
      out += '\n';
    }
  }
  return out;
}

}  // namespace kestrum
