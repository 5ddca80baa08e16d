#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace kestrum::art {

// A Windows bitmap file of the picture: 24 bits a pixel, rows bottom-up,
// each padded to four bytes. Every pixel keeps its exact colour, so a sheet
// blitted on Windows is the sheet the Linux program draws from.
QByteArray BmpFileBytes(const QImage& image);

// A Windows icon file holding each picture in 16 colours with a transparency
// mask (pixels of less than half alpha are transparent). Empty when a picture
// has more than 16 opaque colours, which no drawing here makes.
QByteArray IcoFileBytes(const QList<QImage>& images);

}  // namespace kestrum::art
