#pragma once

class QImage;

namespace kestrum::art {

// The program's icon at `size` x `size` pixels: an upright tile showing a
// red 天, on a transparent ground.
QImage PaintAppIcon(int size);

}  // namespace kestrum::art
