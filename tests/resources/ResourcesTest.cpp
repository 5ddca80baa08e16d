#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int kTileWidth = 20;
constexpr int kTileHeight = 28;

QImage LoadImage(const char* path) {
    QImage image(QString::fromLatin1(path));
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray LoadBytes(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

std::uint32_t LittleEndian(const QByteArray& bytes, int at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

bool SameRgb(QRgb pixel, int r, int g, int b) {
    return qRed(pixel) == r && qGreen(pixel) == g && qBlue(pixel) == b;
}

TEST(Resources, EveryPictureLoadsAtItsSize) {
    struct Expected {
        const char* path;
        int width;
        int height;
    };
    const Expected pictures[] = {
        {":/kestrum/tiles.png", 180, 112},    {":/kestrum/digits.png", 110, 24},
        {":/kestrum/kestrum-16.png", 16, 16}, {":/kestrum/kestrum-32.png", 32, 32},
        {":/kestrum/kestrum-256.png", 256, 256},
    };
    for (const Expected& e : pictures) {
        const QImage image(QString::fromLatin1(e.path));
        ASSERT_FALSE(image.isNull()) << e.path;
        EXPECT_EQ(image.width(), e.width) << e.path;
        EXPECT_EQ(image.height(), e.height) << e.path;
    }
}

TEST(Resources, ChimeIsEightBitMonoPcmAt22050Hz) {
    const QByteArray wav = LoadBytes(":/kestrum/tenhou.wav");
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
    EXPECT_EQ(LittleEndian(wav, 4, 4), static_cast<std::uint32_t>(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(LittleEndian(wav, 16, 4), 16u);     // fmt chunk size
    EXPECT_EQ(LittleEndian(wav, 20, 2), 1u);      // PCM
    EXPECT_EQ(LittleEndian(wav, 22, 2), 1u);      // mono
    EXPECT_EQ(LittleEndian(wav, 24, 4), 22050u);  // sample rate
    EXPECT_EQ(LittleEndian(wav, 28, 4), 22050u);  // bytes per second
    EXPECT_EQ(LittleEndian(wav, 32, 2), 1u);      // block align
    EXPECT_EQ(LittleEndian(wav, 34, 2), 8u);      // bits per sample
    EXPECT_EQ(wav.mid(36, 4), QByteArray("data"));
    EXPECT_EQ(LittleEndian(wav, 40, 4), static_cast<std::uint32_t>(wav.size() - 44));
    EXPECT_EQ(wav.size(), 13714);
}

// Every pixel of a band is either the white ground or the band's colour,
// so the view can copy blocks and tests can compare them exactly.
TEST(Resources, DigitSheetHasPureTealAndRedBands) {
    const QImage sheet = LoadImage(":/kestrum/digits.png");
    ASSERT_EQ(sheet.size(), QSize(110, 24));
    for (int y = 0; y < 24; ++y) {
        const bool redBand = y >= 12;
        for (int x = 0; x < 110; ++x) {
            const QRgb p = sheet.pixel(x, y);
            const bool ground = SameRgb(p, 255, 255, 255);
            const bool ink = redBand ? SameRgb(p, 255, 0, 0) : SameRgb(p, 0, 128, 128);
            ASSERT_TRUE(ground || ink) << "pixel " << x << "," << y;
        }
    }
}

TEST(Resources, DigitSheetLeavesUnusedColumnsWhiteAndInksEveryGlyph) {
    const QImage sheet = LoadImage(":/kestrum/digits.png");
    ASSERT_EQ(sheet.size(), QSize(110, 24));
    for (int x : {103, 104, 105, 109})
        for (int y = 0; y < 24; ++y) EXPECT_TRUE(SameRgb(sheet.pixel(x, y), 255, 255, 255)) << x << "," << y;

    auto inked = [&](int left, int width, int top) {
        int count = 0;
        for (int y = top; y < top + 12; ++y)
            for (int x = left; x < left + width; ++x) count += SameRgb(sheet.pixel(x, y), 255, 255, 255) ? 0 : 1;
        return count;
    };
    for (int top : {0, 12}) {
        for (int d = 0; d < 10; ++d) EXPECT_GT(inked(9 * d, 9, top), 10) << "digit " << d;
        EXPECT_GT(inked(90, 13, top), 20) << "kyoku";
        EXPECT_GT(inked(106, 3, top), 2) << "comma";
    }
}

TEST(Resources, TileFacesHaveBlackOutlinesAndTheBackIsDarkRed) {
    const QImage sheet = LoadImage(":/kestrum/tiles.png");
    ASSERT_EQ(sheet.size(), QSize(180, 112));
    for (int cell = 0; cell < 35; ++cell) {  // 34 faces and the back
        const int left = (cell % 9) * kTileWidth;
        const int top = (cell / 9) * kTileHeight;
        for (int x = left; x < left + kTileWidth; ++x) {
            EXPECT_TRUE(SameRgb(sheet.pixel(x, top), 0, 0, 0)) << "cell " << cell;
            EXPECT_TRUE(SameRgb(sheet.pixel(x, top + kTileHeight - 1), 0, 0, 0)) << "cell " << cell;
        }
        for (int y = top; y < top + kTileHeight; ++y) {
            EXPECT_TRUE(SameRgb(sheet.pixel(left, y), 0, 0, 0)) << "cell " << cell;
            EXPECT_TRUE(SameRgb(sheet.pixel(left + kTileWidth - 1, y), 0, 0, 0)) << "cell " << cell;
        }
    }
    const int backLeft = 7 * kTileWidth;
    const int rowTop = 3 * kTileHeight;
    EXPECT_TRUE(SameRgb(sheet.pixel(backLeft + kTileWidth / 2, rowTop + kTileHeight / 2), 128, 0, 0));
    EXPECT_TRUE(SameRgb(sheet.pixel(backLeft + 1, rowTop + 1), 128, 0, 0));
    for (int y = rowTop; y < rowTop + kTileHeight; ++y)
        for (int x = 8 * kTileWidth; x < 9 * kTileWidth; ++x)
            ASSERT_TRUE(SameRgb(sheet.pixel(x, y), 255, 255, 255)) << "blank cell " << x << "," << y;
}

}  // namespace
