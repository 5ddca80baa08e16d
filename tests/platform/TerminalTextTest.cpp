// Text from other users' blocks and files on its way to a terminal: decoded
// from Shift_JIS one character at a time, then stripped of what a terminal
// would obey.

#include "platform/ShiftJisText.h"
#include "platform/TerminalText.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace kestrum {
namespace {

QString Shown(const QString& text) { return EscapeControls(text); }

TEST(EscapeControls, ControlCharactersOfEveryKindBecomeEscapes) {
  struct Case {
    QString text;
    QString shown;
  };
  const Case cases[] = {
      {QStringLiteral("\x1B]0;title\x07"), QStringLiteral("\\x1B]0;title\\x07")},
      {QStringLiteral("a\rb\nc\td"), QStringLiteral("a\\x0Db\\x0Ac\\x09d")},
      {QString(QChar(0x7F)) + QChar(0x85) + QChar(0x9B), QStringLiteral("\\x7F\\x85\\x9B")},
      {QString(QChar(0x202E)) + QStringLiteral("abc"), QStringLiteral("\\u{202E}abc")},   // right-to-left override
      {QString(QChar(0x2028)) + QChar(0x2029), QStringLiteral("\\u{2028}\\u{2029}")},       // line, paragraph
      {QString(QChar(0xD800)) + QStringLiteral("x"), QStringLiteral("\\u{D800}x")},         // half a pair
      {QString::fromUcs4(U"\U000E0001", 1), QStringLiteral("\\u{E0001}")},                  // a tag, beyond the BMP
      {QStringLiteral("C:\\x1B"), QStringLiteral("C:\\\\x1B")},                             // typed, not obeyed
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(c.text), c.shown) << c.text.toStdString();
}

TEST(EscapeControls, PrintableTextIsKept) {
  const QString text = QStringLiteral("1*1m9m東南西北白発中中+7 ｶﾀｶﾅ ") + QString::fromUcs4(U"\U0001F004", 1);
  EXPECT_EQ(Shown(text), text);
}

TEST(FromShiftJis, EachCharacterStandsOnItsOwn) {
  struct Case {
    std::string bytes;
    QString text;
  };
  const Case cases[] = {
      {"\x93\x8C\x90\xBC+12", QStringLiteral("東西+12")},
      {"\xB6\xC0", QStringLiteral("ｶﾀ")},                                   // half-width katakana, one byte each
      {"12\x88", QStringLiteral("12\uFFFD")},                                // a lead byte cut off at the end
      {"\x88" "12", QStringLiteral("\uFFFD" "12")},                          // a lead byte before no trail byte
      {"\xA0\xFD\xFE\xFF", QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD")},      // no Shift_JIS at all
      {"\x85\x40", QStringLiteral("\uFFFD")},                                // a well-formed pair that maps to nothing
      {std::string("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(FromShiftJis(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace kestrum
