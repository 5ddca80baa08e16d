#pragma once
// The font every dialog of the program is laid out in.

class QFont;
class QString;

namespace kestrum {

// "ＭＳ Ｐゴシック" where installed, else IPAPGothic, else the first family
// that can write Japanese, else the application font's family.
QString DialogFontFamily();

QFont DialogFont(int pointSize);

}  // namespace kestrum
