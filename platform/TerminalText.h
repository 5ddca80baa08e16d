#pragma once
// Text from a status block or a log file that another user may have written
// goes to a terminal. Control characters in it (ESC starting a sequence
// that retitles the window or clears the screen, a bare CR overwriting the
// line, bidirectional overrides turning text around) are shown as escapes
// instead of being obeyed.

#include <QString>

namespace kestrum {

// Every control, format and line or paragraph separator character as
// "\xHH" (below U+0100) or "\u{HHHH}"; a backslash becomes "\\" so that an
// escape in the output always means one. Everything else is kept.
QString EscapeControls(const QString& text);

}  // namespace kestrum
