#include "app/ServerViewPicture.h"

#include <QImage>

#include <array>

#include "app/ViewPicture.h"
#include "dialogs/PictureSheets.h"

Q_LOGGING_CATEGORY(lcView, "kestrum.view", QtInfoMsg)

bool ServerViewPicture::Show(std::uint32_t window, const kestrum::PictureSheets& sheets, const PictureContent& content,
                             QColor ground) {
  const std::array<const QImage*, kPictureSheetCount> images{&SheetImage(sheets, kTileSheet),
                                                             &SheetImage(sheets, kDigitSheet)};
  const QSize size(ViewPicture::kWidth * sheets.scale, ViewPicture::kHeight * sheets.scale);
  if (!server_.Prepare(window, images, sheets.scale, size)) return false;
  // The pixmaps were made anew for another window or scale.
  if (window != window_ || sheets.scale != scale_) {
    qCDebug(lcView) << "sheets uploaded to the X server at scale" << sheets.scale;
    composed_.reset();
  }
  window_ = window;
  scale_ = sheets.scale;
  if (composed_ != content || ground.rgb() != ground_) {
    const PictureLayout layout(content);
    server_.Compose(layout.Blocks(), ground.rgb());
    composed_ = content;
    ground_ = ground.rgb();
  }
  server_.Show();
  return true;
}
