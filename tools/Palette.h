#pragma once

#include <QColor>

namespace kestrum::art {

// The few inks of the tile faces; pure colours, so scaled-up or copied
// pixels never show fringes.
inline const QColor kOutline(0, 0, 0);
inline const QColor kFace(255, 255, 255);
inline const QColor kFaceShade(200, 200, 200);
inline const QColor kBack(128, 0, 0);
inline const QColor kInk(0, 0, 0);
inline const QColor kRed(208, 0, 0);
inline const QColor kGreen(0, 136, 0);
inline const QColor kDarkGreen(0, 88, 0);
inline const QColor kLightGreen(112, 200, 112);
inline const QColor kDarkRed(128, 0, 0);
inline const QColor kLightRed(255, 128, 128);
inline const QColor kBlue(0, 64, 184);

}  // namespace kestrum::art
