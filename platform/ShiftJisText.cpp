#include "platform/ShiftJisText.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace kestrum {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// What the converter yields for a byte sequence it cannot map.
constexpr char16_t kConverterSubstitute = u'\u001A';

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// Length in bytes of the character that starts at `at`: 2 for a lead byte
// with a valid trail byte after it, else 1.
std::size_t CharacterLength(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (IsLeadByte(lead) && at + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[at + 1]))) return 2;
  return 1;
}

QString DecodeCharacter(QStringDecoder& decoder, std::string_view character) {
  const QString decoded = decoder.decode(QByteArrayView(character.data(), static_cast<qsizetype>(character.size())));
  const bool substituted = decoded.contains(QChar(kConverterSubstitute)) && character != "\x1A";
  if (decoded.isEmpty() || substituted) return QString(QChar(kReplacement));
  return decoded;
}

}  // namespace

QString FromShiftJis(std::string_view bytes) {
  QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = CharacterLength(bytes, at);
    const std::string_view character = bytes.substr(at, length);
    const auto first = static_cast<unsigned char>(character.front());
    if (!decoder.isValid() && first < 0x80) {
      text += QChar(first);  // without a converter at least ASCII stays readable
    } else if (!decoder.isValid() || (length == 1 && IsLeadByte(first))) {
      text += QChar(kReplacement);
    } else {
      text += DecodeCharacter(decoder, character);
    }
    at += length;
  }
  return text;
}

}  // namespace kestrum
