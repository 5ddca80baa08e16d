#pragma once
// The picture of a batch, 800 x 720: above, the measured heavenly-hand rate
// with its 95% interval as the batch went on, against the exact rate; in the
// middle, the runs between heavenly hands against the geometric law; below,
// the games' shares by distance from complete against the exact ones. Drawn with
// QPainter as SVG (Qt SVG's generator) or as PNG. Text needs fonts, so a
// QGuiApplication must exist (the offscreen platform will do).

#include <optional>

class QIODevice;
class QPainter;
class QSize;
class QString;

namespace kestrum {

struct BatchPlotData;

enum class PlotFormat { kSvg, kPng };

// By the file's extension, .svg or .png in any case; nullopt for any other.
std::optional<PlotFormat> PlotFormatFor(const QString& path);

QSize BatchPlotSize();

void DrawBatchPlot(QPainter& painter, const BatchPlotData& data);

// false when the device did not take the whole picture.
bool WriteBatchPlot(QIODevice& device, PlotFormat format, const BatchPlotData& data);

}  // namespace kestrum
