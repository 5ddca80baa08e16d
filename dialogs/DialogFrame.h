#pragma once
// What every dialog of the program shares: its font, a fixed client size
// given in dialog units, a caption with a close box and no other frame
// buttons, and controls placed by dialog-unit rectangles.

#include "dialogs/DialogUnits.h"

class QDialog;
class QGroupBox;
class QString;
class QWidget;

namespace kestrum {

// Sets the caption, the 9-point dialog font, the frame and the client size;
// returns the units the dialog's controls are placed in.
DialogUnits PrepareDialog(QDialog& dialog, const QString& caption, int width, int height);

// Puts a control at a rectangle given in dialog units.
void Place(QWidget& control, const DialogUnits& units, int x, int y, int width, int height);

// Moves a control framed by a group box down below the box's frame line,
// keeping its bottom edge, where it would reach above it. Styles that draw
// a box's title above the line rather than across it (Fusion does) put the
// line lower than the layout counts on, and a slider's tick marks would
// cross it.
void KeepBelowFrameLine(QWidget& control, const QGroupBox& box);

// Widens a control whose text needs more room than its rectangle gives, up
// to `rightLimit` pixels; texts that come from the build configuration may be
// longer than the layout was drawn for.
void WidenToText(QWidget& control, int rightLimit);

// The same for a right-aligned text: it grows to the left as far as
// `leftLimit` pixels and, should that not do, to the right up to
// `rightLimit` (the first pixel it must leave free).
void WidenLeftToText(QWidget& control, int leftLimit, int rightLimit);

}  // namespace kestrum
