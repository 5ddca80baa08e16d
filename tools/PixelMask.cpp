#include "PixelMask.h"

#include <QImage>

#include <algorithm>

namespace kestrum::art {

PixelMask::PixelMask(int width, int height)
    : width_(width), height_(height), ink_(static_cast<std::size_t>(width * height), false) {}

PixelMask PixelMask::FromRows(std::initializer_list<std::string_view> rows) {
    int width = 0;
    for (std::string_view row : rows) width = std::max(width, static_cast<int>(row.size()));
    PixelMask mask(width, static_cast<int>(rows.size()));
    int y = 0;
    for (std::string_view row : rows) {
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            const char c = row[static_cast<std::size_t>(x)];
            mask.SetInk(x, y, c != '.' && c != ' ');
        }
        ++y;
    }
    return mask;
}

bool PixelMask::Ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return ink_[static_cast<std::size_t>(y * width_ + x)];
}

void PixelMask::SetInk(int x, int y, bool on) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    ink_[static_cast<std::size_t>(y * width_ + x)] = on;
}

PixelMask PixelMask::Cropped() const {
    int left = width_, top = height_, right = -1, bottom = -1;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (!Ink(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    PixelMask out(right - left + 1, bottom - top + 1);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) out.SetInk(x - left, y - top, Ink(x, y));
    return out;
}

PixelMask PixelMask::Emboldened() const {
    PixelMask out(width_ + 1, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (!Ink(x, y)) continue;
            out.SetInk(x, y);
            out.SetInk(x + 1, y);
        }
    }
    return out;
}

PixelMask PixelMask::Thickened() const {
    PixelMask out(width_ + 1, height_ + 1);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (!Ink(x, y)) continue;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) out.SetInk(x + dx, y + dy);
        }
    }
    return out;
}

void Stamp(QImage& image, QPoint origin, const PixelMask& mask, QColor colour) {
    const QRgb rgb = colour.rgb();
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (!mask.Ink(x, y)) continue;
            const QPoint p = origin + QPoint(x, y);
            if (image.rect().contains(p)) image.setPixel(p, rgb);
        }
    }
}

void StampCentred(QImage& image, QPoint boxOrigin, int boxWidth, int boxHeight,
                  const PixelMask& mask, QColor colour) {
    const QPoint offset((boxWidth - mask.Width()) / 2, (boxHeight - mask.Height()) / 2);
    Stamp(image, boxOrigin + offset, mask, colour);
}

}  // namespace kestrum::art
