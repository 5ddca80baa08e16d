#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr int kTileWidth = 20;
constexpr int kTileHeight = 28;

// The sheet of a scale: the layout's own pixels at 1, the sheet for screens
// scaled by two at 2.
QImage LoadSheet(const char* name, int scale) {
    const QString suffix = scale == 2 ? QStringLiteral("@2x") : QString();
    return QImage(QStringLiteral(":/kestrum/%1%2.png").arg(QLatin1String(name), suffix)).convertToFormat(QImage::Format_RGB32);
}

class Sheet : public testing::TestWithParam<int> {};

std::string ScaleName(const testing::TestParamInfo<int>& info) { return "at" + std::to_string(info.param) + "x"; }

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
        {":/kestrum/kestrum-256.png", 256, 256}, {":/kestrum/tiles@2x.png", 360, 224},
        {":/kestrum/digits@2x.png", 220, 48},   {":/kestrum/kestrum-16@2x.png", 32, 32},
        {":/kestrum/kestrum-32@2x.png", 64, 64},
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
TEST_P(Sheet, DigitSheetHasPureTealAndRedBands) {
    const int s = GetParam();
    const QImage sheet = LoadSheet("digits", s);
    ASSERT_EQ(sheet.size(), QSize(110, 24) * s);
    for (int y = 0; y < 24 * s; ++y) {
        const bool redBand = y >= 12 * s;
        for (int x = 0; x < 110 * s; ++x) {
            const QRgb p = sheet.pixel(x, y);
            const bool ground = SameRgb(p, 255, 255, 255);
            const bool ink = redBand ? SameRgb(p, 255, 0, 0) : SameRgb(p, 0, 128, 128);
            ASSERT_TRUE(ground || ink) << "pixel " << x << "," << y;
        }
    }
}

TEST_P(Sheet, DigitSheetLeavesUnusedColumnsWhiteAndInksEveryGlyph) {
    const int s = GetParam();
    const QImage sheet = LoadSheet("digits", s);
    ASSERT_EQ(sheet.size(), QSize(110, 24) * s);
    for (int column : {103, 104, 105, 109})
        for (int x = column * s; x < (column + 1) * s; ++x)
            for (int y = 0; y < 24 * s; ++y) EXPECT_TRUE(SameRgb(sheet.pixel(x, y), 255, 255, 255)) << x << "," << y;

    // Glyphs are measured in layout pixels; the ink they need grows with
    // the square of the scale.
    auto inked = [&](int left, int width, int top) {
        int count = 0;
        for (int y = top * s; y < (top + 12) * s; ++y)
            for (int x = left * s; x < (left + width) * s; ++x) count += SameRgb(sheet.pixel(x, y), 255, 255, 255) ? 0 : 1;
        return count;
    };
    for (int top : {0, 12}) {
        for (int d = 0; d < 10; ++d) EXPECT_GT(inked(9 * d, 9, top), 10 * s * s) << "digit " << d;
        EXPECT_GT(inked(90, 13, top), 20 * s * s) << "kyoku";
        EXPECT_GT(inked(106, 3, top), 2 * s * s) << "comma";
    }
}

// The outline is one layout pixel, so s sheet pixels, all round every face
// and the back; the first pixel inside it is the face or the back's red.
TEST_P(Sheet, TileFacesHaveBlackOutlinesAndTheBackIsDarkRed) {
    const int s = GetParam();
    const QImage sheet = LoadSheet("tiles", s);
    ASSERT_EQ(sheet.size(), QSize(180, 112) * s);
    const int w = kTileWidth * s;
    const int h = kTileHeight * s;
    for (int cell = 0; cell < 35; ++cell) {  // 34 faces and the back
        const int left = (cell % 9) * w;
        const int top = (cell / 9) * h;
        for (int edge = 0; edge < s; ++edge) {
            for (int x = left; x < left + w; ++x) {
                EXPECT_TRUE(SameRgb(sheet.pixel(x, top + edge), 0, 0, 0)) << "cell " << cell;
                EXPECT_TRUE(SameRgb(sheet.pixel(x, top + h - 1 - edge), 0, 0, 0)) << "cell " << cell;
            }
            for (int y = top; y < top + h; ++y) {
                EXPECT_TRUE(SameRgb(sheet.pixel(left + edge, y), 0, 0, 0)) << "cell " << cell;
                EXPECT_TRUE(SameRgb(sheet.pixel(left + w - 1 - edge, y), 0, 0, 0)) << "cell " << cell;
            }
        }
        EXPECT_FALSE(SameRgb(sheet.pixel(left + s, top + s), 0, 0, 0)) << "outline too thick in cell " << cell;
    }
    const int backLeft = 7 * w;
    const int rowTop = 3 * h;
    EXPECT_TRUE(SameRgb(sheet.pixel(backLeft + w / 2, rowTop + h / 2), 128, 0, 0));
    EXPECT_TRUE(SameRgb(sheet.pixel(backLeft + s, rowTop + s), 128, 0, 0));
    for (int y = rowTop; y < rowTop + h; ++y)
        for (int x = 8 * w; x < 9 * w; ++x)
            ASSERT_TRUE(SameRgb(sheet.pixel(x, y), 255, 255, 255)) << "blank cell " << x << "," << y;
}

// The 2x sheets are drawn anew: cut into 2 x 2 squares, a sheet that was
// only the 1x one enlarged would have every square of one colour.
TEST(Resources, LargeSheetsAreDrawnNotEnlarged) {
    for (const char* name : {"tiles", "digits"}) {
        const QImage small = LoadSheet(name, 1);
        const QImage large = LoadSheet(name, 2);
        ASSERT_EQ(large.size(), small.size() * 2) << name;
        int mixed = 0;
        for (int y = 0; y < large.height(); y += 2)
            for (int x = 0; x < large.width(); x += 2) {
                const QRgb p = large.pixel(x, y);
                mixed += large.pixel(x + 1, y) != p || large.pixel(x, y + 1) != p || large.pixel(x + 1, y + 1) != p;
            }
        EXPECT_GT(mixed, 100) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, Sheet, testing::Values(1, 2), ScaleName);

}  // namespace
