#pragma once

class QImage;

namespace kestrum::art {

inline constexpr int kTileWidth = 20;
inline constexpr int kTileHeight = 28;
inline constexpr int kSheetColumns = 9;
inline constexpr int kSheetRows = 4;

// The 180 x 112 tile sheet: characters, circles, bamboo, then the winds,
// the dragons, a tile back and a blank cell. At scale 2 the same sheet for
// scaled screens, 360 x 224, drawn with every measure doubled.
QImage PaintTileSheet(int scale = 1);

}  // namespace kestrum::art
