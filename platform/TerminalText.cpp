#include "platform/TerminalText.h"

#include <QChar>

namespace kestrum {
namespace {

bool IsObeyedByTerminals(char32_t code) {
  switch (QChar::category(code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Surrogate:  // a lone half of a pair
      return true;
    default:
      return false;
  }
}

QString EscapeOf(char32_t code) {
  const QString hex = QString::number(static_cast<uint>(code), 16).toUpper();
  if (code < 0x100) return QLatin1String("\\x") + hex.rightJustified(2, QLatin1Char('0'));
  return QLatin1String("\\u{") + hex.rightJustified(4, QLatin1Char('0')) + QLatin1Char('}');
}

}  // namespace

QString EscapeControls(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : c.unicode();
    if (code == U'\\') {
      shown += QLatin1String("\\\\");
    } else if (IsObeyedByTerminals(code)) {
      shown += EscapeOf(code);
    } else {
      shown += c;
      if (pair) shown += text.at(i + 1);
    }
    if (pair) ++i;
  }
  return shown;
}

}  // namespace kestrum
