// The batch picture: the figures it draws, and the files it writes for
// batches with none, one and hundreds of heavenly hands.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "plot/BatchPlot.h"
#include "plot/BatchPlotData.h"
#include "plot/PlotPanel.h"
#include "plot/RateCurve.h"
#include "plot/RunSurvival.h"

namespace kestrum {
namespace {

constexpr double kExact = 2143179701279.0 / 708384171528036000.0;

// A batch as the engine would report it: runs drawn from the geometric law,
// forms roughly in their true proportions.
BatchPlotData GeometricBatch(int finds, unsigned seed) {
  std::mt19937_64 random(seed);
  std::geometric_distribution<Count64> run(kExact);
  BatchPlotData data;
  data.exactProbability = kExact;
  for (int i = 0; i < finds; ++i) {
    const Count64 length = run(random) + 1;
    data.runLengths.push_back(length);
    data.totalGames += length;
    const auto draw = random() % 100;
    data.tenhou.push_back({data.totalGames - 1, draw < 4    ? HandForm::kThirteenOrphans
                                                : draw < 16 ? HandForm::kSevenPairs
                                                            : HandForm::kStandard});
  }
  data.totalGames += 123456;  // games after the last heavenly hand
  return data;
}

TEST(RateCurve, JumpsAtEachHeavenlyHandAndEndsAtTheBatchRate) {
  BatchPlotData data;
  data.totalGames = 1000;
  data.tenhou = {{99, HandForm::kStandard}, {499, HandForm::kSevenPairs}};
  const std::vector<RatePoint> curve = RateCurve(data, 11);
  ASSERT_FALSE(curve.empty());
  EXPECT_EQ(curve.front().games, 1.0);
  EXPECT_EQ(curve.back().games, 1000.0);
  EXPECT_DOUBLE_EQ(curve.back().rate, 0.002);
  auto rateAt = [&](double games) {
    for (const RatePoint& point : curve)
      if (point.games == games) return point.rate;
    ADD_FAILURE() << "no point at " << games;
    return -1.0;
  };
  EXPECT_EQ(rateAt(99), 0.0);
  EXPECT_DOUBLE_EQ(rateAt(100), 0.01);
  EXPECT_DOUBLE_EQ(rateAt(499), 1.0 / 499);
  EXPECT_DOUBLE_EQ(rateAt(500), 2.0 / 500);
  for (std::size_t i = 0; i < curve.size(); ++i) {
    EXPECT_LE(curve[i].low, curve[i].rate);
    EXPECT_GE(curve[i].high, curve[i].rate);
    if (i > 0) {
      EXPECT_LT(curve[i - 1].games, curve[i].games);
    }
  }
}

TEST(RateCurve, NoGamesNoCurveAndCrowdedJumpsAreSampled) {
  EXPECT_TRUE(RateCurve(BatchPlotData{}, 100).empty());
  const BatchPlotData crowded = GeometricBatch(500, 7);
  EXPECT_EQ(RateCurve(crowded, 100).size(), 100u);
  EXPECT_GT(RateCurve(crowded, 200).size(), 1000u);
}

TEST(RunSurvival, StepsAtEachLengthAndTheGeometricLaw) {
  const std::vector<SurvivalStep> steps = RunSurvival({5, 1, 5, 3});
  ASSERT_EQ(steps.size(), 4u);
  const double expected[][2] = {{0, 1.0}, {1, 0.75}, {3, 0.5}, {5, 0.0}};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].games, expected[i][0]);
    EXPECT_EQ(steps[i].fraction, expected[i][1]);
  }
  EXPECT_TRUE(RunSurvival({}).empty());
  EXPECT_DOUBLE_EQ(GeometricSurvival(0.5, 3), 0.125);
  EXPECT_NEAR(GeometricSurvival(kExact, 1e6), std::pow(1.0 - kExact, 1e6), 1e-9);
  EXPECT_EQ(GeometricSurvival(0.0, 1e9), 1.0);
  EXPECT_EQ(GeometricSurvival(1.0, 1), 0.0);
}

TEST(PlotPanel, TicksAreRoundAndWithinTheRange) {
  const struct {
    AxisRange range;
    int most;
    std::vector<double> ticks;
  } kCases[] = {
      {{0.0, 3.2}, 5, {0, 1, 2, 3}},
      {{0.0, 1.0}, 5, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
      {{0.0, 1.52e6}, 8, {0, 2e5, 4e5, 6e5, 8e5, 1e6, 1.2e6, 1.4e6}},
      {{2.5, 7.5}, 3, {4, 6}},
      {{1.0, 1.0}, 5, {1.0}},
  };
  for (const auto& example : kCases) {
    const std::vector<double> ticks = NiceTicks(example.range, example.most);
    ASSERT_EQ(ticks.size(), example.ticks.size()) << example.range.high;
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], example.ticks[i], 1e-9);
  }
}

TEST(BatchPlot, FormatFollowsTheExtension) {
  EXPECT_EQ(PlotFormatFor(QStringLiteral("rate.svg")), PlotFormat::kSvg);
  EXPECT_EQ(PlotFormatFor(QStringLiteral("/tmp/RATE.PNG")), PlotFormat::kPng);
  EXPECT_EQ(PlotFormatFor(QStringLiteral("rate.jpg")), std::nullopt);
  EXPECT_EQ(PlotFormatFor(QStringLiteral("rate")), std::nullopt);
  EXPECT_EQ(PlotFormatFor(QStringLiteral("svg")), std::nullopt);
}

int PixelsNear(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
              std::abs(pixel.blue() - colour.blue()) < 40)
        ++count;
    }
  return count;
}

QByteArray Written(PlotFormat format, const BatchPlotData& data) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(WriteBatchPlot(buffer, format, data));
  return buffer.data();
}

TEST(BatchPlot, PngShowsTheMeasuredAndTheExactLinesForEveryBatchSize) {
  const QColor measured(0x1F, 0x4E, 0x9C);
  const QColor exact(0xC6, 0x28, 0x28);
  BatchPlotData none;
  none.totalGames = 2'000'000;
  none.exactProbability = kExact;
  BatchPlotData one = GeometricBatch(1, 3);
  for (const BatchPlotData& data : {none, one, GeometricBatch(300, 11)}) {
    const QImage image = QImage::fromData(Written(PlotFormat::kPng, data), "PNG");
    ASSERT_EQ(image.size(), BatchPlotSize());
    EXPECT_GT(PixelsNear(image, exact), 300) << data.tenhou.size();
    EXPECT_GT(PixelsNear(image, measured), 300) << data.tenhou.size();
  }
  const QImage empty = QImage::fromData(Written(PlotFormat::kPng, BatchPlotData{}), "PNG");
  EXPECT_EQ(empty.size(), BatchPlotSize());
}

TEST(BatchPlot, SvgIsAnImageOfTheSameSizeWithItsJapaneseText) {
  const QByteArray svg = Written(PlotFormat::kSvg, GeometricBatch(40, 5));
  const QString text = QString::fromUtf8(svg);
  EXPECT_TRUE(text.contains(QStringLiteral("<svg")));
  EXPECT_TRUE(text.contains(QStringLiteral("viewBox=\"0 0 800 720\"")));
  EXPECT_TRUE(text.contains(QStringLiteral(">天和<")));
  EXPECT_TRUE(text.contains(QStringLiteral("heavenly-hand rate: 40 in ")));
  EXPECT_TRUE(text.contains(QStringLiteral("七対子")));
  EXPECT_TRUE(text.contains(QStringLiteral("<polyline")));
  // Read back through Qt SVG's own image reader, as a viewer would.
  // Qt reads a page at 90 dots an inch, so only the proportions are fixed.
  const QImage drawn = QImage::fromData(svg, "SVG");
  ASSERT_FALSE(drawn.isNull());
  EXPECT_NEAR(static_cast<double>(drawn.width()) / drawn.height(), 800.0 / 720.0, 0.01);
}

// The third panel: a mark for each distance of each hand size in its
// colour, and the fit in the title.
TEST(BatchPlot, DistancePanelMarksBothHandSizesAndNamesTheFit) {
  BatchPlotData data = GeometricBatch(3, 9);
  const std::vector<double> dealerShare = {3.0e-6, 7.0e-4, 0.023, 0.195, 0.439, 0.285, 0.055, 0.0016};
  const std::vector<double> thirteenShare = {0.0, 8.1e-5, 0.0062, 0.0935, 0.362, 0.399, 0.131, 0.0084};
  for (std::size_t i = 0; i < dealerShare.size(); ++i) {
    data.dealerDistances.games.push_back(std::llround(dealerShare[i] * static_cast<double>(data.totalGames)));
    data.firstThirteenDistances.games.push_back(std::llround(thirteenShare[i] * static_cast<double>(data.totalGames)));
  }
  data.dealerDistances.exactShare = dealerShare;
  data.firstThirteenDistances.exactShare = thirteenShare;
  data.dealerDistances.pValue = 0.42;
  const QString svg = QString::fromUtf8(Written(PlotFormat::kSvg, data));
  EXPECT_TRUE(svg.contains(QStringLiteral("dealer's 14 p = 0.42, first 13 as dealt too few games"))) << svg.size();
  const QImage image = QImage::fromData(Written(PlotFormat::kPng, data), "PNG");
  const QImage panel = image.copy(QRect(78, 526, 704, 140));
  EXPECT_GT(PixelsNear(panel, QColor(0x2E, 0x7D, 0x32)), 100);  // the first thirteen's squares
  EXPECT_GT(PixelsNear(panel, QColor(0x1F, 0x4E, 0x9C)), 100);  // the dealer's circles
  EXPECT_GT(PixelsNear(panel, QColor(0xC6, 0x28, 0x28)), 50);   // the exact shares
}

}  // namespace
}  // namespace kestrum
