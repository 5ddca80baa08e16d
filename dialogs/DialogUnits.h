#pragma once
// Dialog layouts are given in dialog units, which scale with the dialog's
// font: a horizontal unit is a quarter of the font's average character width
// and a vertical unit an eighth of its height, as the Windows dialog manager
// measures them.

class QFont;
class QRect;
class QSize;

namespace kestrum {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  int baseX() const { return baseX_; }
  int baseY() const { return baseY_; }

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

 private:
  int baseX_;
  int baseY_;
};

}  // namespace kestrum
