#pragma once

class QImage;

namespace kestrum::art {

inline constexpr int kTileWidth = 20;
inline constexpr int kTileHeight = 28;
inline constexpr int kSheetColumns = 9;
inline constexpr int kSheetRows = 4;

// The 180 x 112 tile sheet: characters, circles, bamboo, then the winds,
// the dragons, a tile back and a blank cell.
QImage PaintTileSheet();

}  // namespace kestrum::art
