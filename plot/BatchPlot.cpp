#include "plot/BatchPlot.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QIODevice>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QSize>
#include <QString>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <set>

#include "plot/BatchPlotData.h"
#include "plot/PlotPanel.h"
#include "plot/RateCurve.h"
#include "plot/RunSurvival.h"

namespace kestrum {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 720;
constexpr double kLeft = 78.0;
constexpr double kRight = 782.0;
const QRectF kRateArea(QPointF(kLeft, 40.0), QPointF(kRight, 228.0));
const QRectF kRunArea(QPointF(kLeft, 308.0), QPointF(kRight, 446.0));
const QRectF kDistanceArea(QPointF(kLeft, 526.0), QPointF(kRight, 666.0));
// Shares from 10^-7 (a complete dealer's hand is 3 in 10^6) to 1.
constexpr double kLowestShareExponent = -7.0;
constexpr int kCurveSamples = 700;
constexpr double kPerMillion = 1e6;

const QColor kMeasured(0x1F, 0x4E, 0x9C);
const QColor kBand(0x1F, 0x4E, 0x9C, 0x38);
const QColor kExact(0xC6, 0x28, 0x28);
const QColor kText(0x30, 0x30, 0x30);
const QColor kThirteen(0x2E, 0x7D, 0x32);

QFont JapaneseFont() {
  QFont font;
  // The gothic faces Debian ships for Japanese text, best first; Qt falls
  // back to any font with the glyphs when none of them is installed.
  font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic"), QStringLiteral("sans-serif")});
  font.setPixelSize(12);
  return font;
}

QString Grouped(Count64 value) { return QLocale(QLocale::English).toString(static_cast<qlonglong>(value)); }

QString Plain(double value) { return QLocale(QLocale::English).toString(value, 'g', 6); }

// Game counts are shown in millions once a batch is that long.
struct GameScale {
  double divisor = 1.0;
  QString title;
};

GameScale ScaleFor(double games) {
  if (games >= 1e6) return {1e6, QStringLiteral("局数 (百万局) · games, millions")};
  return {1.0, QStringLiteral("局数 · games")};
}

QString FormName(HandForm form) {
  switch (form) {
    case HandForm::kThirteenOrphans: return QStringLiteral("国士無双");
    case HandForm::kSevenPairs: return QStringLiteral("七対子");
    default: return QStringLiteral("面子手");
  }
}

QColor FormColour(HandForm form) {
  switch (form) {
    case HandForm::kThirteenOrphans: return {0x8E, 0x24, 0xAA};
    case HandForm::kSevenPairs: return {0x2E, 0x7D, 0x32};
    default: return {0xEF, 0x6C, 0x00};
  }
}

struct LegendEntry {
  QString text;
  QPen pen;
  QBrush brush = Qt::NoBrush;
};

// Line samples and their texts in a column at the panel's top right.
void DrawLegend(QPainter& painter, const QRectF& area, const std::vector<LegendEntry>& entries) {
  const QFontMetricsF metrics(painter.font());
  double width = 0.0;
  for (const LegendEntry& entry : entries) width = std::max(width, metrics.horizontalAdvance(entry.text));
  const double lineHeight = metrics.height() + 1;
  const QRectF box(area.right() - width - 42, area.top() + 6, width + 36, lineHeight * static_cast<double>(entries.size()) + 6);
  painter.save();
  painter.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1.0));
  painter.setBrush(QColor(255, 255, 255, 0xE0));
  painter.drawRect(box);
  double y = box.top() + 3 + lineHeight / 2;
  for (const LegendEntry& entry : entries) {
    const QRectF sample(box.left() + 6, y - 4, 20, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(entry.brush);
    if (entry.brush != Qt::NoBrush) painter.drawRect(sample);
    painter.setPen(entry.pen);
    painter.drawLine(QPointF(sample.left(), y), QPointF(sample.right(), y));
    painter.setPen(kText);
    painter.drawText(QPointF(sample.right() + 6, y + metrics.ascent() / 2 - 1), entry.text);
    y += lineHeight;
  }
  painter.restore();
}

// What the colours of the marks along the bottom mean, in a row under the
// panel's left end, where the axis title leaves room.
void DrawFormKey(QPainter& painter, const QRectF& area) {
  painter.save();
  const QFontMetricsF metrics(painter.font());
  QPointF at(area.left(), area.bottom() + 4 + metrics.height() + 2 + metrics.ascent());
  for (const HandForm form : {HandForm::kThirteenOrphans, HandForm::kSevenPairs, HandForm::kStandard}) {
    painter.setPen(QPen(FormColour(form), 1.4));
    painter.drawLine(at + QPointF(0, 1), at - QPointF(0, 9));
    painter.setPen(kText);
    painter.drawText(at + QPointF(5, 0), FormName(form));
    at.rx() += 5 + metrics.horizontalAdvance(FormName(form)) + 14;
  }
  painter.restore();
}

void DrawCentredNote(QPainter& painter, const QRectF& area, const QString& text) {
  painter.save();
  painter.setPen(kText);
  painter.drawText(area, Qt::AlignCenter, text);
  painter.restore();
}

// The interval as a band, the measured rate as a line over it.
void DrawRateCurve(QPainter& painter, const PlotPanel& panel, const std::vector<RatePoint>& curve) {
  QPolygonF band;
  for (const RatePoint& point : curve) band << panel.MapClamped(point.games, point.low * kPerMillion);
  for (auto point = curve.rbegin(); point != curve.rend(); ++point)
    band << panel.MapClamped(point->games, point->high * kPerMillion);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBand);
  painter.drawPolygon(band);

  QPolygonF line;
  for (const RatePoint& point : curve) line << panel.MapClamped(point.games, point.rate * kPerMillion);
  painter.setPen(QPen(kMeasured, 1.6));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(line);
}

// One mark per heavenly hand along the bottom, coloured by its form; marks
// closer than a pixel are drawn once, which keeps an SVG of a long batch
// small.
void DrawFindMarks(QPainter& painter, const PlotPanel& panel, const std::vector<PlottedTenhou>& finds) {
  std::set<std::pair<int, HandForm>> drawn;
  for (const PlottedTenhou& find : finds) {
    const QPointF at = panel.Map(static_cast<double>(find.gameIndex) + 1.0, 0.0);
    if (!drawn.insert({static_cast<int>(std::lround(at.x())), find.form}).second) continue;
    painter.setPen(QPen(FormColour(find.form), 1.4));
    painter.drawLine(at, at - QPointF(0.0, 9.0));
  }
}

double RateTop(const std::vector<RatePoint>& curve, double exact) {
  double top = exact * 2.5;
  if (!curve.empty()) top = std::max({top, curve.back().high * 1.3, curve.back().rate * 1.6});
  return top > 0.0 ? top * kPerMillion : 1.0;
}

void DrawRatePanel(QPainter& painter, const BatchPlotData& data) {
  const std::vector<RatePoint> curve = RateCurve(data, kCurveSamples);
  const double games = static_cast<double>(std::max<Count64>(data.totalGames, 1));
  const PlotPanel panel(kRateArea, {0.0, games}, {0.0, RateTop(curve, data.exactProbability)});
  const GameScale scale = ScaleFor(games);
  panel.DrawTitle(painter, QStringLiteral("天和の出現率 · heavenly-hand rate: %1 in %2 games")
                               .arg(Grouped(static_cast<Count64>(data.tenhou.size())), Grouped(data.totalGames)));
  panel.DrawAxes(painter, scale.title, QStringLiteral("百万局あたり · per million"),
                 [&](double x) { return Plain(x / scale.divisor); }, [](double y) { return Plain(y); });
  if (curve.empty()) {
    DrawCentredNote(painter, kRateArea, QStringLiteral("対局なし · no games played"));
    return;
  }

  painter.save();
  painter.setClipRect(kRateArea);
  DrawRateCurve(painter, panel, curve);
  if (data.exactProbability > 0.0) {
    painter.setPen(QPen(kExact, 1.4, Qt::DashLine));
    const double y = data.exactProbability * kPerMillion;
    painter.drawLine(panel.Map(0.0, y), panel.Map(games, y));
  }
  DrawFindMarks(painter, panel, data.tenhou);
  painter.restore();

  std::vector<LegendEntry> legend = {
      {QStringLiteral("測定値 · measured"), QPen(kMeasured, 1.6)},
      {QStringLiteral("95% 区間 · interval"), QPen(Qt::NoPen), kBand},
  };
  if (data.exactProbability > 0.0)
    legend.push_back({QStringLiteral("理論値 · exact %1").arg(Plain(data.exactProbability * kPerMillion)),
                      QPen(kExact, 1.4, Qt::DashLine)});
  DrawLegend(painter, kRateArea, legend);
  DrawFormKey(painter, kRateArea);
}

// As far as the longest run, and at least as far as the law leaves 1 in 100
// runs.
double RunAxisEnd(const BatchPlotData& data) {
  double end = 0.0;
  for (const Count64 run : data.runLengths) end = std::max(end, static_cast<double>(run));
  const double p = data.exactProbability;
  if (p > 0.0 && p < 1.0) end = std::max(end, std::log(0.01) / std::log1p(-p));
  return end > 0.0 ? end : 1.0;
}

void DrawGeometricLaw(QPainter& painter, const PlotPanel& panel, double p, double end) {
  QPolygonF law;
  for (int i = 0; i <= kCurveSamples; ++i) {
    const double x = end * i / kCurveSamples;
    law << panel.Map(x, GeometricSurvival(p, x));
  }
  painter.setPen(QPen(kExact, 1.4, Qt::DashLine));
  painter.drawPolyline(law);
}

void DrawSurvivalSteps(QPainter& painter, const PlotPanel& panel, const std::vector<SurvivalStep>& steps,
                       double end) {
  QPolygonF stairs;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) stairs << panel.Map(steps[i].games, steps[i - 1].fraction);
    stairs << panel.Map(steps[i].games, steps[i].fraction);
  }
  stairs << panel.Map(end, 0.0);
  painter.setPen(QPen(kMeasured, 1.6));
  painter.drawPolyline(stairs);
}

void DrawRunPanel(QPainter& painter, const BatchPlotData& data) {
  const double end = RunAxisEnd(data);
  const PlotPanel panel(kRunArea, {0.0, end}, {0.0, 1.0});
  const GameScale scale = ScaleFor(end);
  panel.DrawTitle(painter, QStringLiteral("天和間の局数 · runs between heavenly hands: %1, against the geometric law")
                               .arg(Grouped(static_cast<Count64>(data.runLengths.size()))));
  panel.DrawAxes(painter, scale.title, QStringLiteral("これより長い割合 · longer"),
                 [&](double x) { return Plain(x / scale.divisor); }, [](double y) { return Plain(y); });

  painter.save();
  painter.setClipRect(kRunArea);
  if (data.exactProbability > 0.0) DrawGeometricLaw(painter, panel, data.exactProbability, end);
  const std::vector<SurvivalStep> steps = RunSurvival(data.runLengths);
  if (!steps.empty()) DrawSurvivalSteps(painter, panel, steps, end);
  painter.restore();

  if (steps.empty()) DrawCentredNote(painter, kRunArea, QStringLiteral("天和なし · no heavenly hand yet"));
  std::vector<LegendEntry> legend = {{QStringLiteral("測定値 · measured"), QPen(kMeasured, 1.6)}};
  if (data.exactProbability > 0.0)
    legend.push_back({QStringLiteral("幾何分布 · (1 − p)^x"), QPen(kExact, 1.4, Qt::DashLine)});
  DrawLegend(painter, kRunArea, legend);
}

QString FitText(double pValue) {
  if (pValue < 0.0) return QStringLiteral("too few games");
  return QStringLiteral("p = %1").arg(QString::number(pValue, 'g', 3));
}

// One distance's measured share as a mark; shares of 0 sit on the floor.
void DrawShareMarks(QPainter& painter, const PlotPanel& panel, const PlottedDistances& distances, Count64 total,
                    double offset, const QColor& colour, bool square) {
  painter.setPen(QPen(colour, 1.4));
  painter.setBrush(colour);
  for (std::size_t i = 0; i < distances.games.size(); ++i) {
    const double share = static_cast<double>(distances.games[i]) / static_cast<double>(total);
    const double y = share > 0.0 ? std::log10(share) : kLowestShareExponent;
    const QPointF at = panel.MapClamped(static_cast<double>(i) - 1.0 + offset, y);
    if (square)
      painter.drawRect(QRectF(at - QPointF(3.0, 3.0), QSizeF(6.0, 6.0)));
    else
      painter.drawEllipse(at, 3.2, 3.2);
  }
}

void DrawExactShares(QPainter& painter, const PlotPanel& panel, const PlottedDistances& distances, double offset) {
  painter.setPen(QPen(kExact, 2.0));
  for (std::size_t i = 0; i < distances.exactShare.size(); ++i) {
    if (distances.exactShare[i] <= 0.0) continue;
    const double x = static_cast<double>(i) - 1.0 + offset;
    const double y = std::log10(distances.exactShare[i]);
    painter.drawLine(panel.MapClamped(x - 0.14, y), panel.MapClamped(x + 0.14, y));
  }
}

void DrawDistancePanel(QPainter& painter, const BatchPlotData& data) {
  const PlottedDistances& dealer = data.dealerDistances;
  const PlottedDistances& thirteen = data.firstThirteenDistances;
  const double last = static_cast<double>(std::max(dealer.games.size(), thirteen.games.size())) - 2.0;
  // Half a distance beyond each end: eight distances then give a tick each.
  const PlotPanel panel(kDistanceArea, {-1.5, std::max(last, 0.0) + 0.5}, {kLowestShareExponent, 0.0});
  panel.DrawTitle(painter, QStringLiteral("向聴数 · distance from complete: dealer's 14 %1, first 13 as dealt %2 (chi-square)")
                               .arg(FitText(dealer.pValue), FitText(thirteen.pValue)));
  panel.DrawAxes(painter, QStringLiteral("距離 · distance (−1 complete, 0 one tile away)"),
                 QStringLiteral("割合 · share"),
                 [](double x) { return std::abs(x - std::round(x)) < 1e-9 ? Plain(std::round(x)) : QString(); },
                 [](double y) { return QStringLiteral("1e%1").arg(static_cast<int>(std::lround(y))); });
  if (data.totalGames <= 0 || dealer.games.empty()) {
    DrawCentredNote(painter, kDistanceArea, QStringLiteral("対局なし · no games played"));
    return;
  }
  painter.save();
  painter.setClipRect(kDistanceArea);
  DrawExactShares(painter, panel, dealer, -0.17);
  DrawExactShares(painter, panel, thirteen, 0.17);
  DrawShareMarks(painter, panel, dealer, data.totalGames, -0.17, kMeasured, false);
  DrawShareMarks(painter, panel, thirteen, data.totalGames, 0.17, kThirteen, true);
  painter.restore();
  // At the bottom right, where the shares are far above the floor.
  const QRectF legendCorner(kDistanceArea.left(), kDistanceArea.bottom() - 62.0, kDistanceArea.width(), 62.0);
  DrawLegend(painter, legendCorner,
             {{QStringLiteral("親の14枚 · dealer's 14"), QPen(kMeasured, 6.0)},
              {QStringLiteral("最初の13枚 · first 13"), QPen(kThirteen, 6.0)},
              {QStringLiteral("理論値 · exact"), QPen(kExact, 2.0)}});
}

bool WriteSvg(QIODevice& device, const BatchPlotData& data) {
  QSvgGenerator generator;
  generator.setOutputDevice(&device);
  generator.setSize(BatchPlotSize());
  // The page size is written in millimetres; at 96 dots an inch a browser
  // shows it at 800 x 720 pixels.
  generator.setResolution(96);
  generator.setViewBox(QRect(QPoint(0, 0), BatchPlotSize()));
  generator.setTitle(QStringLiteral("Kestrum batch"));
  generator.setDescription(
      QStringLiteral("The heavenly-hand rate, the runs between heavenly hands and the games' distances from complete"));
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  painter.fillRect(QRect(QPoint(0, 0), BatchPlotSize()), Qt::white);
  DrawBatchPlot(painter, data);
  return painter.end();
}

bool WritePng(QIODevice& device, const BatchPlotData& data) {
  QImage image(BatchPlotSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    DrawBatchPlot(painter, data);
  }
  return image.save(&device, "PNG");
}

}  // namespace

std::optional<PlotFormat> PlotFormatFor(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("svg")) return PlotFormat::kSvg;
  if (suffix == QLatin1String("png")) return PlotFormat::kPng;
  return std::nullopt;
}

QSize BatchPlotSize() { return {kWidth, kHeight}; }

void DrawBatchPlot(QPainter& painter, const BatchPlotData& data) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(JapaneseFont());
  DrawRatePanel(painter, data);
  DrawRunPanel(painter, data);
  DrawDistancePanel(painter, data);
  painter.restore();
}

bool WriteBatchPlot(QIODevice& device, PlotFormat format, const BatchPlotData& data) {
  const bool drawn = format == PlotFormat::kSvg ? WriteSvg(device, data) : WritePng(device, data);
  return drawn && device.isOpen();
}

}  // namespace kestrum
