#include "cli/RunSummary.h"

#include <QJsonArray>
#include <QJsonValue>

#include "cli/BatchStatistics.h"

namespace kestrum {
namespace {

struct Figures {
  double rate = 0.0;
  RateInterval interval;
  double exactRate = 0.0;
  double exactOneIn = 0.0;
  double standardErrors = 0.0;
  double gamesPerSecond = 0.0;
};

Figures FiguresOf(const BatchTotals& totals, const ExactCounts& exact) {
  Figures f;
  f.rate = totals.games > 0 ? static_cast<double>(totals.tenhou) / static_cast<double>(totals.games) : 0.0;
  f.interval = WilsonInterval95(totals.tenhou, totals.games);
  f.exactRate = Ratio(exact.Complete(), exact.deals);
  f.exactOneIn = Ratio(exact.deals, exact.Complete());
  f.standardErrors = StandardErrorsFrom(totals.tenhou, totals.games, f.exactRate);
  f.gamesPerSecond =
      totals.elapsedSeconds > 0 ? static_cast<double>(totals.games) / totals.elapsedSeconds : 0.0;
  return f;
}

QString Number(Count64 value) { return QString::number(value); }
QString Rate(double value) { return QString::number(value, 'e', 4); }

QString Line(const QString& label, const QString& value) {
  return label.leftJustified(20, QLatin1Char(' ')) + value + QLatin1Char('\n');
}

}  // namespace

QString SummaryText(const BatchTotals& totals, const ExactCounts& exact) {
  const Figures f = FiguresOf(totals, exact);
  QString text;
  text += Line(QStringLiteral("games played"), Number(totals.games));
  text += Line(QStringLiteral("heavenly hands"), Number(totals.tenhou));
  text += Line(QStringLiteral("  thirteen orphans"), Number(totals.thirteenOrphans));
  text += Line(QStringLiteral("  seven pairs"), Number(totals.sevenPairs));
  text += Line(QStringLiteral("  standard"), Number(totals.standard));
  const QString oneIn = totals.tenhou > 0 ? QStringLiteral("1 in %1").arg(1.0 / f.rate, 0, 'f', 1)
                                          : QStringLiteral("none found yet");
  text += Line(QStringLiteral("measured rate"), QStringLiteral("%1 (95% CI %2 to %3), %4")
                                                    .arg(Rate(f.rate), Rate(f.interval.low), Rate(f.interval.high), oneIn));
  text += Line(QStringLiteral("exact rate"), QStringLiteral("%1, 1 in %2")
                                                 .arg(Rate(f.exactRate))
                                                 .arg(f.exactOneIn, 0, 'f', 1));
  text += Line(QStringLiteral("distance"), QStringLiteral("%1 standard errors from the exact rate")
                                               .arg(f.standardErrors, 0, 'f', 2));
  const bool anyRun = totals.tenhou > 0;
  text += Line(QStringLiteral("shortest run"), anyRun ? Number(totals.shortestRun) + QStringLiteral(" games")
                                                      : QStringLiteral("none"));
  text += Line(QStringLiteral("longest run"), anyRun ? Number(totals.longestRun) + QStringLiteral(" games")
                                                     : QStringLiteral("none"));
  text += Line(QString(), QStringLiteral("(a run: the games up to and including a heavenly hand since the"));
  text += Line(QString(), QStringLiteral(" previous one in the same thread's stream, or since it began)"));
  text += Line(QStringLiteral("threads"), QString::number(totals.threads));
  text += Line(QStringLiteral("seed"), QString::number(totals.seed));
  text += Line(QStringLiteral("time"), QStringLiteral("%1 s, %2 games/s")
                                           .arg(totals.elapsedSeconds, 0, 'f', 2)
                                           .arg(f.gamesPerSecond, 0, 'f', 0));
  if (totals.interrupted) text += Line(QStringLiteral("stopped"), QStringLiteral("interrupted"));
  return text;
}

QJsonObject SummaryJson(const BatchTotals& totals, const ExactCounts& exact) {
  const Figures f = FiguresOf(totals, exact);
  const Uint128 divisor = Gcd(exact.Complete(), exact.deals);
  QJsonObject forms{{QStringLiteral("thirteenOrphans"), QJsonValue(qint64{totals.thirteenOrphans})},
                    {QStringLiteral("sevenPairs"), QJsonValue(qint64{totals.sevenPairs})},
                    {QStringLiteral("standard"), QJsonValue(qint64{totals.standard})}};
  QJsonObject exactJson{
      {QStringLiteral("rate"), f.exactRate},
      {QStringLiteral("oneIn"), f.exactOneIn},
      {QStringLiteral("numerator"), QString::fromStdString(DecimalText(exact.Complete() / divisor))},
      {QStringLiteral("denominator"), QString::fromStdString(DecimalText(exact.deals / divisor))}};
  QJsonObject json{
      {QStringLiteral("games"), QJsonValue(qint64{totals.games})},
      {QStringLiteral("tenhou"), QJsonValue(qint64{totals.tenhou})},
      {QStringLiteral("forms"), forms},
      {QStringLiteral("rate"), f.rate},
      {QStringLiteral("ci95"), QJsonArray{f.interval.low, f.interval.high}},
      {QStringLiteral("oneIn"), totals.tenhou > 0 ? QJsonValue(1.0 / f.rate) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("exact"), exactJson},
      {QStringLiteral("standardErrors"), f.standardErrors},
      {QStringLiteral("shortestRun"), totals.tenhou > 0 ? QJsonValue(qint64{totals.shortestRun}) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("longestRun"), totals.tenhou > 0 ? QJsonValue(qint64{totals.longestRun}) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("threads"), totals.threads},
      {QStringLiteral("seed"), QString::number(totals.seed)},
      {QStringLiteral("seconds"), totals.elapsedSeconds},
      {QStringLiteral("gamesPerSecond"), f.gamesPerSecond},
      {QStringLiteral("interrupted"), totals.interrupted}};
  return json;
}

}  // namespace kestrum
