#include "cli/RunSummary.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>
#include <QTimeZone>

#include "batch/BatchFigures.h"
#include "batch/BatchResult.h"
#include "batch/ExactCount.h"

namespace kestrum {
namespace {

QString Number(Count64 value) { return QString::number(value); }
QString Rate(double value) { return QString::number(value, 'e', 4); }
QString PValue(double value) { return QString::number(value, 'g', 3); }

QString Line(const QString& label, const QString& value) {
  return label.leftJustified(20, QLatin1Char(' ')) + value + QLatin1Char('\n');
}

QString StopText(StopReason reason) {
  switch (reason) {
    case StopReason::kGames: return QStringLiteral("games");
    case StopReason::kTenhou: return QStringLiteral("tenhou");
    case StopReason::kSeconds: return QStringLiteral("seconds");
    case StopReason::kInterrupted: return QStringLiteral("interrupted");
  }
  return {};
}

QString StopSentence(const BatchResult& result) {
  switch (result.stop) {
    case StopReason::kGames:
      return QStringLiteral("after %1 games; reproducible with this seed").arg(result.limits.games);
    case StopReason::kTenhou:
      return QStringLiteral("at heavenly hand %1; reproducible with this seed").arg(result.limits.tenhou);
    case StopReason::kSeconds:
      return QStringLiteral("after %1 s; not reproducible (the games played depend on the machine)")
          .arg(result.limits.seconds);
    case StopReason::kInterrupted:
      return QStringLiteral("interrupted; not reproducible (the games played depend on the moment)");
  }
  return {};
}

QString FormName(HandForm form) {
  switch (form) {
    case HandForm::kThirteenOrphans: return QStringLiteral("thirteenOrphans");
    case HandForm::kSevenPairs: return QStringLiteral("sevenPairs");
    case HandForm::kStandard: return QStringLiteral("standard");
    case HandForm::kNone: break;
  }
  return QStringLiteral("none");
}

// An expected count to four significant digits, whole numbers from 10000
// on: "0.003025", "6.978", "69812".
QString ExpectedText(double expected) {
  if (expected == 0.0) return QStringLiteral("0");
  if (expected >= 1e4) return QString::number(expected, 'f', 0);
  return QString::number(expected, 'g', 4);
}

QString FormLine(const FormFigures& form) {
  return QStringLiteral("%1 (expected %2)").arg(form.found).arg(ExpectedText(form.expected));
}

QString DistanceFitText(const DistanceFigures& d) {
  if (!d.fit) return QStringLiteral("needs more games");
  return QStringLiteral("chi-square %1 on %2 degrees of freedom, p = %3: %4")
      .arg(d.fit->chiSquare, 0, 'f', 2)
      .arg(d.fit->degreesOfFreedom)
      .arg(PValue(d.fit->pValue), d.fit->pValue >= kConsistencyLevel ? QStringLiteral("consistent with the exact law")
                                                                      : QStringLiteral("not consistent with the exact law"));
}

QString DistanceTableText(const BatchFigures& f) {
  QString text = Line(QStringLiteral("distance"), QStringLiteral("dealer's fourteen (expected)").leftJustified(34, QLatin1Char(' ')) +
                                                    QStringLiteral("first thirteen as dealt (expected)"));
  for (int slot = 0; slot < kDistanceSlots; ++slot) {
    const QString dealer =
        QStringLiteral("%1 (%2)").arg(f.dealerDistances.seen[slot]).arg(ExpectedText(f.dealerDistances.expected[slot]));
    const QString thirteen = QStringLiteral("%1 (%2)")
                                 .arg(f.firstThirteenDistances.seen[slot])
                                 .arg(ExpectedText(f.firstThirteenDistances.expected[slot]));
    text += Line(QStringLiteral("  %1").arg(slot - 1, 2), dealer.leftJustified(34, QLatin1Char(' ')) + thirteen);
  }
  text += Line(QStringLiteral("dealer vs exact"), DistanceFitText(f.dealerDistances));
  text += Line(QStringLiteral("thirteen vs exact"), DistanceFitText(f.firstThirteenDistances));
  text += Line(QString(), QStringLiteral("(a distance: the fewest tiles a hand must take in to be complete, less"));
  text += Line(QString(), QStringLiteral(" one; bins with fewer than 5 games expected merged at the ends)"));
  return text;
}

bool Inverse(const BatchFigures& f) { return f.sampling == Sampling::kInverse; }

QString IntervalMethod(const BatchFigures& f) {
  return Inverse(f) ? QStringLiteral("exact, inverse sampling (negative binomial)")
                    : QStringLiteral("exact, Clopper-Pearson");
}

QString TestMethod(const BatchFigures& f) {
  return Inverse(f) ? QStringLiteral("exact, two-sided, negative binomial: twice the smaller tail")
                    : QStringLiteral("exact, two-sided");
}

QString SamplingText(const BatchFigures& f, const BatchResult& result) {
  if (Inverse(f))
    return QStringLiteral("inverse: games until heavenly hand %1, so their number is random (negative binomial)")
        .arg(result.limits.tenhou);
  return QStringLiteral("binomial: the number of games was not set by the heavenly hands");
}

QString ConsistencyText(const BatchFigures& f) {
  return QStringLiteral("p = %1 (%2): %3 with the exact probability at 1%")
      .arg(PValue(f.pValue), Inverse(f) ? QStringLiteral("exact, two-sided, negative binomial")
                                        : QStringLiteral("exact, two-sided"),
           f.consistent ? QStringLiteral("consistent") : QStringLiteral("not consistent"));
}

QString RunsFitText(const BatchFigures& f) {
  if (!f.runsFit) return QStringLiteral("needs %1 runs, has %2").arg(kMinRunsForFit).arg(f.runs);
  return QStringLiteral("chi-square %1 on %2 degrees of freedom (rate from the runs), p = %3: %4")
      .arg(f.runsFit->chiSquare, 0, 'f', 2)
      .arg(f.runsFit->degreesOfFreedom)
      .arg(PValue(f.runsFit->pValue), f.runsFit->pValue >= kConsistencyLevel
                                          ? QStringLiteral("consistent with the geometric law")
                                          : QStringLiteral("not consistent with the geometric law"));
}

QString SerialFitText(const BatchFigures& f) {
  if (!f.serialFit) return QStringLiteral("needs %1 runs, has %2").arg(2 * kMinPairsForSerialTest).arg(f.runs);
  return QStringLiteral("chi-square %1 on %2 degrees of freedom, p = %3: %4")
      .arg(f.serialFit->chiSquare, 0, 'f', 2)
      .arg(f.serialFit->degreesOfFreedom)
      .arg(PValue(f.serialFit->pValue), f.serialFit->pValue >= kConsistencyLevel
                                            ? QStringLiteral("consistent with independent runs")
                                            : QStringLiteral("not consistent with independent runs"));
}

QJsonValue Count(Count64 value) { return QJsonValue(qint64{value}); }

QJsonObject FormJson(const FormFigures& form) {
  return {{QStringLiteral("found"), Count(form.found)},
          {QStringLiteral("expected"), form.expected},
          {QStringLiteral("exactProbability"), form.probability},
          {QStringLiteral("ci95"), QJsonArray{form.interval95.low, form.interval95.high}}};
}

// The hand in UTF-8 for JSON; the tile names of the engine are Shift_JIS.
QString HandUtf8(const CompactHand& hand) {
  const QString honours = QStringLiteral("東南西北白発中");
  QString text;
  for (const std::uint8_t code : hand) {
    if (code >= 28 && code <= kTileKinds)
      text += honours.at(code - 28);
    else
      text += QString::fromLatin1(TileNames()[code].data(), 2);
  }
  return text;
}

QJsonArray FindsJson(const BatchResult& result) {
  QJsonArray finds;
  for (const TenhouFind& find : result.finds) {
    const QString hand = HandUtf8(find.hand);
    finds.append(QJsonObject{{QStringLiteral("block"), Count(static_cast<Count64>(find.block))},
                             {QStringLiteral("gameInBlock"), Count(find.gameInBlock)},
                             {QStringLiteral("index"), Count(static_cast<Count64>(find.sequenceIndex))},
                             {QStringLiteral("gamesSoFar"), Count(find.gamesSoFar)},
                             {QStringLiteral("run"), Count(find.runLength)},
                             {QStringLiteral("form"), FormName(find.form)},
                             {QStringLiteral("hand"), hand}});
  }
  return finds;
}

QJsonValue RunsFitJson(const BatchFigures& f) {
  if (!f.runsFit) return QJsonValue(QJsonValue::Null);
  QJsonArray bins;
  for (const RunsBin& bin : f.runsFit->table)
    bins.append(QJsonObject{{QStringLiteral("first"), Count(bin.first)},
                            {QStringLiteral("last"), bin.last > 0 ? Count(bin.last) : QJsonValue(QJsonValue::Null)},
                            {QStringLiteral("observed"), bin.observed},
                            {QStringLiteral("expected"), bin.expected}});
  return QJsonObject{{QStringLiteral("method"), QStringLiteral("Pearson chi-square against the geometric law, "
                                                               "bins of equal probability, rate estimated from the "
                                                               "runs, df = bins - 2")},
                     {QStringLiteral("rate"), f.runsFit->rate},
                     {QStringLiteral("rateEstimated"), f.runsFit->rateEstimated},
                     {QStringLiteral("bins"), bins},
                     {QStringLiteral("chiSquare"), f.runsFit->chiSquare},
                     {QStringLiteral("degreesOfFreedom"), f.runsFit->degreesOfFreedom},
                     {QStringLiteral("pValue"), f.runsFit->pValue},
                     {QStringLiteral("level"), kConsistencyLevel},
                     {QStringLiteral("consistent"), f.runsFit->pValue >= kConsistencyLevel}};
}

QJsonValue SerialFitJson(const BatchFigures& f) {
  if (!f.serialFit) return QJsonValue(QJsonValue::Null);
  return QJsonObject{{QStringLiteral("method"), QStringLiteral("Pearson chi-square of independence of consecutive "
                                                               "runs in pairs (1st and 2nd, 3rd and 4th, ...), "
                                                               "df = (rows - 1)(columns - 1)")},
                     {QStringLiteral("pairs"), Count(static_cast<Count64>(f.serialFit->pairs))},
                     {QStringLiteral("classes"), f.serialFit->classes},
                     {QStringLiteral("chiSquare"), f.serialFit->chiSquare},
                     {QStringLiteral("degreesOfFreedom"), f.serialFit->degreesOfFreedom},
                     {QStringLiteral("pValue"), f.serialFit->pValue},
                     {QStringLiteral("level"), kConsistencyLevel},
                     {QStringLiteral("consistent"), f.serialFit->pValue >= kConsistencyLevel}};
}

QString StartTimeText(double epochSeconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(epochSeconds * 1000.0), QTimeZone::utc())
      .toString(Qt::ISODateWithMs);
}

QJsonValue DistanceFitJson(const DistanceFigures& d) {
  if (!d.fit) return QJsonValue(QJsonValue::Null);
  QJsonArray bins;
  for (const DistanceBin& bin : d.fit->bins)
    bins.append(QJsonObject{{QStringLiteral("first"), bin.first},
                            {QStringLiteral("last"), bin.last},
                            {QStringLiteral("observed"), Count(static_cast<Count64>(bin.observed))},
                            {QStringLiteral("expected"), bin.expected}});
  return QJsonObject{{QStringLiteral("method"), QStringLiteral("Pearson chi-square against the exact distribution, "
                                                               "bins under 5 expected merged at the ends, df = bins - 1")},
                     {QStringLiteral("bins"), bins},
                     {QStringLiteral("chiSquare"), d.fit->chiSquare},
                     {QStringLiteral("degreesOfFreedom"), d.fit->degreesOfFreedom},
                     {QStringLiteral("pValue"), d.fit->pValue},
                     {QStringLiteral("level"), kConsistencyLevel},
                     {QStringLiteral("consistent"), d.fit->pValue >= kConsistencyLevel}};
}

QJsonObject DistanceJson(const DistanceFigures& d) {
  QJsonArray observed;
  QJsonArray expected;
  QJsonArray probability;
  for (int slot = 0; slot < kDistanceSlots; ++slot) {
    observed.append(Count(d.seen[slot]));
    expected.append(d.expected[slot]);
    probability.append(d.probability[slot]);
  }
  return QJsonObject{{QStringLiteral("observed"), observed},
                     {QStringLiteral("expected"), expected},
                     {QStringLiteral("exactProbability"), probability},
                     {QStringLiteral("fit"), DistanceFitJson(d)}};
}

QJsonValue LimitJson(Count64 value) { return value > 0 ? Count(value) : QJsonValue(QJsonValue::Null); }

}  // namespace

QString SummaryText(const BatchResult& result, const ExactCounts& exact) {
  const BatchFigures f = FiguresOf(result, exact);
  const BatchTally& tally = result.tally;
  QString text;
  text += Line(QStringLiteral("games played"), Number(tally.games));
  text += Line(QStringLiteral("heavenly hands"), Number(tally.tenhou));
  text += Line(QStringLiteral("  thirteen orphans"), FormLine(f.thirteenOrphans));
  text += Line(QStringLiteral("  seven pairs"), FormLine(f.sevenPairs));
  text += Line(QStringLiteral("  standard"), FormLine(f.standard));
  const QString oneIn =
      tally.tenhou > 0 ? QStringLiteral("1 in %1").arg(1.0 / f.rate, 0, 'f', 1) : QStringLiteral("none found yet");
  text += Line(QStringLiteral("sampling"), SamplingText(f, result));
  text += Line(QStringLiteral("measured rate"),
               QStringLiteral("%1, %2%3")
                   .arg(Rate(f.rate), oneIn,
                        Inverse(f) ? QStringLiteral(" (heavenly hands less one over games less one)") : QString()));
  text += Line(QStringLiteral("95% interval"), QStringLiteral("%1 to %2 (%3)")
                                                   .arg(Rate(f.interval95.low), Rate(f.interval95.high), IntervalMethod(f)));
  text += Line(QStringLiteral("exact rate"),
               QStringLiteral("%1, 1 in %2").arg(Rate(f.exactRate)).arg(f.exactOneIn, 0, 'f', 1));
  text += Line(QStringLiteral("the count found"), ConsistencyText(f));
  const bool anyRun = tally.tenhou > 0;
  text += Line(QStringLiteral("shortest run"),
               anyRun ? Number(tally.shortestRun) + QStringLiteral(" games") : QStringLiteral("none"));
  text += Line(QStringLiteral("longest run"),
               anyRun ? Number(tally.longestRun) + QStringLiteral(" games") : QStringLiteral("none"));
  if (anyRun && f.censoredRun > 0)
    text += Line(QStringLiteral("unfinished run"), Number(f.censoredRun) + QStringLiteral(" games since the last"));
  text += Line(QStringLiteral("runs vs geometric"), RunsFitText(f));
  text += Line(QStringLiteral("consecutive runs"), SerialFitText(f));
  text += Line(QString(), QStringLiteral("(a run: the games up to and including a heavenly hand since the"));
  text += Line(QString(), QStringLiteral(" previous one in the seed's sequence, or since the batch began)"));
  text += DistanceTableText(f);
  text +=
      Line(QStringLiteral("threads"),
           result.processes > 1 ? QStringLiteral("%1 in each of %2 processes").arg(result.threads).arg(result.processes)
                                : QString::number(result.threads));
  if (result.device != BatchDevice::kCpu) text += Line(QStringLiteral("device"), DeviceName(result.device));
  text += Line(QStringLiteral("seed"), QString::number(result.seed));
  text += Line(QStringLiteral("stopped"), StopSentence(result));
  text +=
      Line(QStringLiteral("time"),
           QStringLiteral("%1 s, %2 games/s").arg(result.elapsedSeconds, 0, 'f', 2).arg(f.gamesPerSecond, 0, 'f', 0));
  return text;
}

QString DeviceName(BatchDevice device) {
  return device == BatchDevice::kCuda ? QStringLiteral("cuda") : QStringLiteral("cpu");
}

QJsonObject SummaryJson(const BatchResult& result, const ExactCounts& exact) {
  const BatchFigures f = FiguresOf(result, exact);
  const BatchTally& tally = result.tally;
  const Uint128 divisor = Gcd(exact.Complete(), exact.deals);
  const QJsonObject forms{{QStringLiteral("thirteenOrphans"), FormJson(f.thirteenOrphans)},
                          {QStringLiteral("sevenPairs"), FormJson(f.sevenPairs)},
                          {QStringLiteral("standard"), FormJson(f.standard)}};
  const QJsonObject exactJson{
      {QStringLiteral("rate"), f.exactRate},
      {QStringLiteral("oneIn"), f.exactOneIn},
      {QStringLiteral("numerator"), QString::fromStdString(DecimalText(exact.Complete() / divisor))},
      {QStringLiteral("denominator"), QString::fromStdString(DecimalText(exact.deals / divisor))}};
  const QJsonObject limits{{QStringLiteral("games"), LimitJson(result.limits.games)},
                           {QStringLiteral("tenhou"), LimitJson(result.limits.tenhou)},
                           {QStringLiteral("secondsLimit"), result.limits.seconds > 0 ? QJsonValue(result.limits.seconds)
                                                                                      : QJsonValue(QJsonValue::Null)}};
  const double resumedShare =
      tally.games > 0 ? static_cast<double>(result.resumedGames) / static_cast<double>(tally.games) : 0.0;
  return QJsonObject{
      {QStringLiteral("version"), QStringLiteral("1.11")},
      {QStringLiteral("seed"), QString::number(result.seed)},
      {QStringLiteral("limits"), limits},
      {QStringLiteral("stop"), StopText(result.stop)},
      {QStringLiteral("reproducible"), result.Reproducible()},
      {QStringLiteral("games"), Count(tally.games)},
      {QStringLiteral("tenhou"), Count(tally.tenhou)},
      {QStringLiteral("forms"), forms},
      {QStringLiteral("rate"), f.rate},
      {QStringLiteral("ci95"), QJsonArray{f.interval95.low, f.interval95.high}},
      {QStringLiteral("sampling"), Inverse(f) ? QStringLiteral("inverse") : QStringLiteral("binomial")},
      {QStringLiteral("interval"), QJsonObject{{QStringLiteral("method"), IntervalMethod(f)},
                                               {QStringLiteral("level"), 0.95},
                                               {QStringLiteral("low"), f.interval95.low},
                                               {QStringLiteral("high"), f.interval95.high}}},
      {QStringLiteral("test"), QJsonObject{{QStringLiteral("method"), TestMethod(f)},
                                           {QStringLiteral("level"), kConsistencyLevel},
                                           {QStringLiteral("pValue"), f.pValue},
                                           {QStringLiteral("consistent"), f.consistent}}},
      {QStringLiteral("oneIn"), tally.tenhou > 0 ? QJsonValue(1.0 / f.rate) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("exact"), exactJson},
      {QStringLiteral("pValue"), f.pValue},
      {QStringLiteral("consistent"), f.consistent},
      {QStringLiteral("shortestRun"), tally.tenhou > 0 ? Count(tally.shortestRun) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("longestRun"), tally.tenhou > 0 ? Count(tally.longestRun) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("runsFit"), RunsFitJson(f)},
      {QStringLiteral("serialFit"), SerialFitJson(f)},
      {QStringLiteral("censoredRun"), Count(f.censoredRun)},
      {QStringLiteral("distances"),
       QJsonObject{{QStringLiteral("firstDistance"), -1},
                   {QStringLiteral("dealer"), DistanceJson(f.dealerDistances)},
                   {QStringLiteral("firstThirteen"), DistanceJson(f.firstThirteenDistances)}}},
      {QStringLiteral("finds"), FindsJson(result)},
      {QStringLiteral("blockGames"), static_cast<qint64>(kBlockGames)},
      {QStringLiteral("threads"), result.threads},
      {QStringLiteral("processes"), result.processes},
      {QStringLiteral("device"), DeviceName(result.device)},
      {QStringLiteral("elapsedSeconds"), result.elapsedSeconds},
      {QStringLiteral("startTime"), StartTimeText(result.startEpochSeconds)},
      {QStringLiteral("resumed"), QJsonObject{{QStringLiteral("fromCheckpoint"), result.resumedGames > 0},
                                              {QStringLiteral("games"), Count(result.resumedGames)},
                                              {QStringLiteral("share"), resumedShare}}},
      {QStringLiteral("blocksCutShort"), Count(static_cast<Count64>(result.blocksCutShort))},
      {QStringLiteral("generator"), QStringLiteral("sfc64, four lanes a block, seeded from the seed and the block; "
                                                   "each value the low 15 bits of a 16-bit quarter of an output")},
      {QStringLiteral("shuffle"), QStringLiteral("the window's: 10000 + (value mod 1000) exchanges of positions "
                                                 "(value mod 136), on a wall filled afresh each block of 1024 games "
                                                 "and shuffled once before its first")},
      {QStringLiteral("gamesPerSecond"), f.gamesPerSecond},
      {QStringLiteral("interrupted"), result.stop == StopReason::kInterrupted}};
}

}  // namespace kestrum
