#pragma once
// The main view's one picture in memory, copied block by block out of the
// sheets (see PictureSheets) at the places PictureLayout gives. The picture
// is kept between paints and redrawn only when what it shows has changed,
// so a paint is one copy of it; at a hundred repaints a second that is most
// of what the window costs.

#include <QColor>
#include <QImage>

#include "app/PictureLayout.h"

namespace kestrum {
struct PictureSheets;
}

class ViewPicture {
 public:
  static constexpr int kWidth = 280;
  static constexpr int kHeight = 42;

  // Brings the picture up to date: drawn anew from the sheets when the
  // content, the ground or the sheets' scale changed, left alone otherwise.
  // The ground shows wherever no tile or glyph is.
  void Update(const kestrum::PictureSheets& sheets, const PictureContent& content, QColor ground);

  // 280 x 42 logical pixels at the sheets' scale (its device pixel ratio).
  const QImage& Image() const { return image_; }

 private:
  void Draw(const kestrum::PictureSheets& sheets);

  QImage image_;
  PictureContent content_{};
  QRgb ground_ = 0;
};
