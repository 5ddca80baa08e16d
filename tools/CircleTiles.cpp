#include "Palette.h"
#include "TileFaces.h"

#include <QImage>
#include <QRect>

#include <cmath>
#include <vector>

namespace kestrum::art {

namespace {

struct Pip {
    QRect box;  // in cell coordinates
    QColor colour;
};

double DistanceFromCentre(const QRect& box, int x, int y) {
    const double cx = box.left() + (box.width() - 1) / 2.0;
    const double cy = box.top() + (box.height() - 1) / 2.0;
    return std::hypot(x - cx, y - cy);
}

// A ring with a dot in the middle, the classic look of a circle-suit pip,
// decided pixel by pixel from the distance to the box centre.
void PaintPip(QImage& sheet, QPoint cell, const Pip& pip) {
    const double radius = pip.box.width() / 2.0;
    for (int y = pip.box.top(); y <= pip.box.bottom(); ++y) {
        for (int x = pip.box.left(); x <= pip.box.right(); ++x) {
            const double d = DistanceFromCentre(pip.box, x, y);
            const bool ring = d <= radius - 0.25 && d > radius - 1.45;
            const bool dot = radius >= 3.0 && d <= radius * 0.34;
            if (ring || dot) sheet.setPixel(cell + QPoint(x, y), pip.colour.rgb());
        }
    }
}

// The one of circles: a large rosette of rings.
void PaintOneCircle(QImage& sheet, QPoint cell) {
    const QRect box(2, 5, 16, 16);
    const double radius = box.width() / 2.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const double d = DistanceFromCentre(box, x, y) / radius;
            QColor colour;
            if (d <= 0.2) colour = kRed;
            else if (d > 0.36 && d <= 0.56) colour = kRed;
            else if (d > 0.7 && d <= 0.97) colour = kGreen;
            else continue;
            sheet.setPixel(cell + QPoint(x, y), colour.rgb());
        }
    }
}

std::vector<Pip> PipsFor(int rank) {
    switch (rank) {
    case 2: return {{QRect(6, 3, 8, 8), kGreen}, {QRect(6, 16, 8, 8), kBlue}};
    case 3: return {{QRect(2, 2, 6, 6), kBlue}, {QRect(7, 11, 6, 6), kRed}, {QRect(12, 20, 6, 6), kGreen}};
    case 4:
        return {{QRect(2, 3, 7, 7), kBlue}, {QRect(11, 3, 7, 7), kGreen},
                {QRect(2, 17, 7, 7), kGreen}, {QRect(11, 17, 7, 7), kBlue}};
    case 5:
        return {{QRect(2, 2, 6, 6), kBlue}, {QRect(12, 2, 6, 6), kGreen}, {QRect(7, 11, 6, 6), kRed},
                {QRect(2, 20, 6, 6), kGreen}, {QRect(12, 20, 6, 6), kBlue}};
    case 6:
        return {{QRect(3, 2, 6, 6), kGreen}, {QRect(11, 2, 6, 6), kGreen},
                {QRect(3, 12, 6, 6), kRed}, {QRect(11, 12, 6, 6), kRed},
                {QRect(3, 19, 6, 6), kRed}, {QRect(11, 19, 6, 6), kRed}};
    case 7:
        return {{QRect(2, 2, 5, 5), kGreen}, {QRect(7, 4, 6, 5), kGreen}, {QRect(13, 6, 5, 5), kGreen},
                {QRect(3, 13, 6, 6), kRed}, {QRect(11, 13, 6, 6), kRed},
                {QRect(3, 20, 6, 6), kRed}, {QRect(11, 20, 6, 6), kRed}};
    case 8: {
        std::vector<Pip> pips;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 2; ++column)
                pips.push_back({QRect(3 + 8 * column, 2 + 6 * row, 6, 6), kBlue});
        return pips;
    }
    case 9: {
        std::vector<Pip> pips;
        const QColor rowColour[3] = {kBlue, kRed, kGreen};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                pips.push_back({QRect(2 + 6 * column, 3 + 8 * row, 4, 4), rowColour[row]});
        return pips;
    }
    default: return {};
    }
}

}  // namespace

void PaintCircleTile(QImage& sheet, QPoint cell, int rank) {
    PaintBlankFace(sheet, cell);
    if (rank == 1) {
        PaintOneCircle(sheet, cell);
        return;
    }
    for (const Pip& pip : PipsFor(rank)) PaintPip(sheet, cell, pip);
}

}  // namespace kestrum::art
