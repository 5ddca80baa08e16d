#include "WindowsImages.h"

#include <QColor>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace kestrum::art {

namespace {

void Put16(QByteArray& bytes, std::uint16_t value) {
    const std::uint16_t little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), 2);
}

void Put32(QByteArray& bytes, std::uint32_t value) {
    const std::uint32_t little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), 4);
}

int PaddedRow(int bits, int width) { return ((bits * width + 31) / 32) * 4; }

void PutInfoHeader(QByteArray& bytes, int width, int height, int bitCount, int imageSize, int colours) {
    Put32(bytes, 40);
    Put32(bytes, static_cast<std::uint32_t>(width));
    Put32(bytes, static_cast<std::uint32_t>(height));
    Put16(bytes, 1);
    Put16(bytes, static_cast<std::uint16_t>(bitCount));
    Put32(bytes, 0);  // no compression
    Put32(bytes, static_cast<std::uint32_t>(imageSize));
    Put32(bytes, 2835);  // 72 dpi
    Put32(bytes, 2835);
    Put32(bytes, static_cast<std::uint32_t>(colours));
    Put32(bytes, 0);
}

bool Transparent(QRgb pixel) { return qAlpha(pixel) < 128; }

// One icon image as the icon file holds it: header, palette, colour rows,
// then the mask rows.
QByteArray IconImage(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRgb> palette;
    std::vector<int> index(static_cast<std::size_t>(image.width() * image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (Transparent(pixel)) continue;
            const QRgb colour = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
            std::size_t at = 0;
            while (at < palette.size() && palette[at] != colour) ++at;
            if (at == palette.size()) palette.push_back(colour);
            index[static_cast<std::size_t>(y * image.width() + x)] = static_cast<int>(at);
        }
    }
    if (palette.size() > 16) return {};
    palette.resize(16, qRgb(0, 0, 0));
    const int colourRow = PaddedRow(4, image.width());
    const int maskRow = PaddedRow(1, image.width());
    QByteArray bytes;
    PutInfoHeader(bytes, image.width(), 2 * image.height(), 4, (colourRow + maskRow) * image.height(), 16);
    for (QRgb colour : palette) {
        bytes.append(static_cast<char>(qBlue(colour)));
        bytes.append(static_cast<char>(qGreen(colour)));
        bytes.append(static_cast<char>(qRed(colour)));
        bytes.append('\0');
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const int value = Transparent(image.pixel(x, y)) ? 0 : index[static_cast<std::size_t>(y * image.width() + x)];
            row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? value << 4 : value));
        }
        bytes.append(row);
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < image.width(); ++x) {
            if (Transparent(image.pixel(x, y))) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        bytes.append(row);
    }
    return bytes;
}

}  // namespace

QByteArray BmpFileBytes(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int rowSize = PaddedRow(24, image.width());
    const int imageSize = rowSize * image.height();
    QByteArray bytes;
    bytes.append("BM", 2);
    Put32(bytes, static_cast<std::uint32_t>(14 + 40 + imageSize));
    Put32(bytes, 0);
    Put32(bytes, 14 + 40);
    PutInfoHeader(bytes, image.width(), image.height(), 24, imageSize, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowSize, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            row[3 * x] = static_cast<char>(qBlue(pixel));
            row[3 * x + 1] = static_cast<char>(qGreen(pixel));
            row[3 * x + 2] = static_cast<char>(qRed(pixel));
        }
        bytes.append(row);
    }
    return bytes;
}

QByteArray IcoFileBytes(const QList<QImage>& images) {
    QList<QByteArray> parts;
    for (const QImage& image : images) {
        parts.append(IconImage(image));
        if (parts.back().isEmpty()) return {};
    }
    QByteArray bytes;
    Put16(bytes, 0);
    Put16(bytes, 1);  // an icon
    Put16(bytes, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        bytes.append(static_cast<char>(images[i].width() >= 256 ? 0 : images[i].width()));
        bytes.append(static_cast<char>(images[i].height() >= 256 ? 0 : images[i].height()));
        bytes.append(static_cast<char>(16));
        bytes.append('\0');
        Put16(bytes, 1);
        Put16(bytes, 4);
        Put32(bytes, static_cast<std::uint32_t>(parts[i].size()));
        Put32(bytes, offset);
        offset += static_cast<std::uint32_t>(parts[i].size());
    }
    for (const QByteArray& part : parts) bytes.append(part);
    return bytes;
}

}  // namespace kestrum::art
