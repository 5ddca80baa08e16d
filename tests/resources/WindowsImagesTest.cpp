#include "WindowsImages.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace {

QImage ReadBack(const QByteArray& bytes, const char* format) {
  QImage image;
  image.loadFromData(bytes, format);
  return image;
}

TEST(WindowsImages, BitmapsKeepEveryPixelOfTheSheets) {
  for (const char* name : {"tiles.png", "digits.png"}) {
    const QImage sheet = QImage(QStringLiteral(KESTRUM_RES_DIR "/") + QLatin1String(name))
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(sheet.isNull()) << name;
    const QImage back = ReadBack(kestrum::art::BmpFileBytes(sheet), "BMP").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(back, sheet) << name;
  }
}

// A width of 13 pixels needs a byte of padding on every row, and the rows
// are stored bottom-up: a picture that differs in every row and column
// catches either going wrong.
TEST(WindowsImages, OddWidthsArePaddedAndRowsStayInOrder) {
  QImage picture(13, 5, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 19, y * 50, (x + y) * 7));
  }
  const QByteArray bytes = kestrum::art::BmpFileBytes(picture);
  EXPECT_EQ(bytes.size(), 14 + 40 + 40 * 5);
  EXPECT_EQ(ReadBack(bytes, "BMP").convertToFormat(QImage::Format_RGB32), picture);
}

QImage TwoColourIcon(int size) {
  QImage icon(size, size, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  for (int y = 2; y < size - 2; ++y) {
    for (int x = 3; x < size - 1; ++x) icon.setPixel(x, y, (x + y) % 3 == 0 ? qRgb(208, 0, 0) : qRgb(252, 250, 238));
  }
  return icon;
}

TEST(WindowsImages, IconsHoldEachSizeWithItsColoursAndTransparency) {
  const QByteArray bytes = kestrum::art::IcoFileBytes({TwoColourIcon(32), TwoColourIcon(16)});
  ASSERT_FALSE(bytes.isEmpty());
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer, "ICO");
  ASSERT_EQ(reader.imageCount(), 2);
  for (int index : {0, 1}) {
    const int size = index == 0 ? 32 : 16;
    ASSERT_TRUE(reader.jumpToImage(index));
    const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(read.size(), QSize(size, size));
    EXPECT_EQ(read, TwoColourIcon(size)) << size;
  }
}

TEST(WindowsImages, AnIconOfMoreThanSixteenColoursIsRefused) {
  QImage many(8, 8, QImage::Format_ARGB32);
  for (int i = 0; i < 64; ++i) many.setPixel(i % 8, i / 8, qRgb(i * 4, 0, 0));
  EXPECT_TRUE(kestrum::art::IcoFileBytes({many}).isEmpty());
}

}  // namespace
