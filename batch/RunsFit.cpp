#include "batch/RunsFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrum {
namespace {

constexpr std::size_t kMaxBins = 10;
constexpr std::size_t kRunsPerBin = 5;
constexpr int kSeriesTerms = 10000;
constexpr double kPrecision = 1e-15;

// P(a, x), the regularised lower incomplete gamma function, by its series;
// converges quickly for x < a + 1.
double LowerGammaSeries(double a, double x) {
  double term = 1.0 / a;
  double sum = term;
  for (int n = 1; n < kSeriesTerms; ++n) {
    term *= x / (a + n);
    sum += term;
    if (std::fabs(term) < std::fabs(sum) * kPrecision) break;
  }
  return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Q(a, x) = 1 - P(a, x), by Lentz's continued fraction; for x >= a + 1.
double UpperGammaFraction(double a, double x) {
  constexpr double tiny = std::numeric_limits<double>::min() / kPrecision;
  double b = x + 1.0 - a;
  double c = 1.0 / tiny;
  double d = 1.0 / b;
  double h = d;
  for (int i = 1; i < kSeriesTerms; ++i) {
    const double an = -i * (i - a);
    b += 2.0;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1.0) < kPrecision) break;
  }
  return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

// P(run <= r) under the geometric law.
double GeometricAtMost(double r, double logStay) { return -std::expm1(r * logStay); }

}  // namespace

double ChiSquareAbove(double x, int degreesOfFreedom) {
  if (degreesOfFreedom <= 0) return 1.0;
  if (!(x > 0.0)) return 1.0;
  const double a = 0.5 * degreesOfFreedom;
  const double half = 0.5 * x;
  if (half < a + 1.0) return std::clamp(1.0 - LowerGammaSeries(a, half), 0.0, 1.0);
  return std::clamp(UpperGammaFraction(a, half), 0.0, 1.0);
}

namespace {

// Upper edges (inclusive) of `wanted` classes of run lengths of about equal
// probability under the law: the smallest whole run length at which the
// distribution function reaches j / wanted. Short laws (p near 1) can make
// two edges meet; such a class would be empty and goes.
std::vector<double> EqualProbabilityEdges(std::size_t wanted, double logStay) {
  std::vector<double> edges;
  for (std::size_t j = 1; j < wanted; ++j) {
    const double quantile = 1.0 - static_cast<double>(j) / static_cast<double>(wanted);
    const double edge = std::max(1.0, std::ceil(std::log(quantile) / logStay));
    if (edges.empty() || edge > edges.back()) edges.push_back(edge);
  }
  edges.push_back(std::numeric_limits<double>::infinity());
  return edges;
}

std::size_t ClassOf(const std::vector<double>& edges, std::int64_t run) {
  return static_cast<std::size_t>(std::lower_bound(edges.begin(), edges.end(), static_cast<double>(run)) -
                                  edges.begin());
}

double EstimatedRate(const std::vector<std::int64_t>& runs) {
  double games = 0.0;
  for (const std::int64_t run : runs) games += static_cast<double>(run);
  return games > 0.0 ? static_cast<double>(runs.size()) / games : 0.0;
}

std::optional<RunsFit> Fit(const std::vector<std::int64_t>& runs, double p, bool estimated) {
  if (runs.size() < kMinRunsForFit || !(p > 0.0 && p < 1.0)) return std::nullopt;
  const double logStay = std::log1p(-p);
  const std::vector<double> edges = EqualProbabilityEdges(std::min(kMaxBins, runs.size() / kRunsPerBin), logStay);

  std::vector<double> observed(edges.size(), 0.0);
  for (const std::int64_t run : runs) observed[ClassOf(edges, run)] += 1.0;
  RunsFit fit;
  fit.rate = p;
  fit.rateEstimated = estimated;
  double below = 0.0;
  std::int64_t first = 1;
  const auto total = static_cast<double>(runs.size());
  for (std::size_t j = 0; j < edges.size(); ++j) {
    const double upTo = std::isinf(edges[j]) ? 1.0 : GeometricAtMost(edges[j], logStay);
    const double expected = total * (upTo - below);
    below = upTo;
    const std::int64_t last = std::isinf(edges[j]) ? 0 : static_cast<std::int64_t>(edges[j]);
    if (expected <= 0.0) continue;
    fit.table.push_back({first, last, observed[j], expected});
    first = last + 1;
    fit.chiSquare += (observed[j] - expected) * (observed[j] - expected) / expected;
    ++fit.bins;
  }
  fit.degreesOfFreedom = fit.bins - 1 - (estimated ? 1 : 0);
  if (fit.degreesOfFreedom < 1) return std::nullopt;
  fit.pValue = ChiSquareAbove(fit.chiSquare, fit.degreesOfFreedom);
  return fit;
}

}  // namespace

std::optional<RunsFit> FitRunsToGeometric(const std::vector<std::int64_t>& runs, double p) {
  return Fit(runs, p, false);
}

std::optional<RunsFit> FitRunsToGeometricShape(const std::vector<std::int64_t>& runs) {
  return Fit(runs, EstimatedRate(runs), true);
}

std::optional<SerialFit> SerialTestOfRuns(const std::vector<std::int64_t>& runs) {
  const std::size_t pairs = runs.size() / 2;
  const double p = EstimatedRate(runs);
  if (pairs < kMinPairsForSerialTest || !(p > 0.0 && p < 1.0)) return std::nullopt;
  // As many classes as leave some five pairs expected in each cell.
  std::size_t wanted = 2;
  while (wanted < 4 && pairs >= 5 * (wanted + 1) * (wanted + 1)) ++wanted;
  const std::vector<double> edges = EqualProbabilityEdges(wanted, std::log1p(-p));
  const std::size_t classes = edges.size();
  std::vector<double> cells(classes * classes, 0.0);
  std::vector<double> rows(classes, 0.0);
  std::vector<double> columns(classes, 0.0);
  for (std::size_t i = 0; i < pairs; ++i) {
    const std::size_t row = ClassOf(edges, runs[2 * i]);
    const std::size_t column = ClassOf(edges, runs[2 * i + 1]);
    cells[row * classes + column] += 1.0;
    rows[row] += 1.0;
    columns[column] += 1.0;
  }
  SerialFit fit;
  fit.pairs = pairs;
  fit.classes = static_cast<int>(classes);
  int usedRows = 0;
  int usedColumns = 0;
  for (std::size_t r = 0; r < classes; ++r) usedRows += rows[r] > 0.0 ? 1 : 0;
  for (std::size_t c = 0; c < classes; ++c) usedColumns += columns[c] > 0.0 ? 1 : 0;
  for (std::size_t r = 0; r < classes; ++r)
    for (std::size_t c = 0; c < classes; ++c) {
      const double expected = rows[r] * columns[c] / static_cast<double>(pairs);
      if (expected <= 0.0) continue;
      const double difference = cells[r * classes + c] - expected;
      fit.chiSquare += difference * difference / expected;
    }
  fit.degreesOfFreedom = (usedRows - 1) * (usedColumns - 1);
  if (fit.degreesOfFreedom < 1) return std::nullopt;
  fit.pValue = ChiSquareAbove(fit.chiSquare, fit.degreesOfFreedom);
  return fit;
}

}  // namespace kestrum
