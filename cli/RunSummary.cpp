#include "cli/RunSummary.h"

#include <QJsonArray>
#include <QJsonValue>

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

QString FormLine(const FormFigures& form) {
  return QStringLiteral("%1 (expected %2)").arg(form.found).arg(form.expected, 0, 'f', 2);
}

QString ConsistencyText(const BatchFigures& f) {
  return QStringLiteral("p = %1 (exact, two-sided): %2 with the exact probability at 1%")
      .arg(PValue(f.pValue), f.consistent ? QStringLiteral("consistent") : QStringLiteral("not consistent"));
}

QString RunsFitText(const BatchFigures& f) {
  if (!f.runsFit) return QStringLiteral("needs %1 runs, has %2").arg(kMinRunsForFit).arg(f.runs);
  return QStringLiteral("chi-square %1 on %2 degrees of freedom, p = %3: %4")
      .arg(f.runsFit->chiSquare, 0, 'f', 2)
      .arg(f.runsFit->degreesOfFreedom)
      .arg(PValue(f.runsFit->pValue), f.runsFit->pValue >= kConsistencyLevel
                                          ? QStringLiteral("consistent with independent games")
                                          : QStringLiteral("not consistent with independent games"));
}

QJsonValue Count(Count64 value) { return QJsonValue(qint64{value}); }

QJsonObject FormJson(const FormFigures& form) {
  return {{QStringLiteral("found"), Count(form.found)}, {QStringLiteral("expected"), form.expected}};
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
  return QJsonObject{{QStringLiteral("chiSquare"), f.runsFit->chiSquare},
                     {QStringLiteral("degreesOfFreedom"), f.runsFit->degreesOfFreedom},
                     {QStringLiteral("pValue"), f.runsFit->pValue},
                     {QStringLiteral("consistent"), f.runsFit->pValue >= kConsistencyLevel}};
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
  text += Line(QStringLiteral("measured rate"), QStringLiteral("%1, %2").arg(Rate(f.rate), oneIn));
  text +=
      Line(QStringLiteral("95% interval"),
           QStringLiteral("%1 to %2 (exact, Clopper-Pearson)").arg(Rate(f.interval95.low), Rate(f.interval95.high)));
  text += Line(QStringLiteral("exact rate"),
               QStringLiteral("%1, 1 in %2").arg(Rate(f.exactRate)).arg(f.exactOneIn, 0, 'f', 1));
  text += Line(QStringLiteral("the count found"), ConsistencyText(f));
  const bool anyRun = tally.tenhou > 0;
  text += Line(QStringLiteral("shortest run"),
               anyRun ? Number(tally.shortestRun) + QStringLiteral(" games") : QStringLiteral("none"));
  text += Line(QStringLiteral("longest run"),
               anyRun ? Number(tally.longestRun) + QStringLiteral(" games") : QStringLiteral("none"));
  text += Line(QStringLiteral("runs vs geometric"), RunsFitText(f));
  text += Line(QString(), QStringLiteral("(a run: the games up to and including a heavenly hand since the"));
  text += Line(QString(), QStringLiteral(" previous one in the seed's sequence, or since the batch began)"));
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
                           {QStringLiteral("seconds"), result.limits.seconds > 0 ? QJsonValue(result.limits.seconds)
                                                                                 : QJsonValue(QJsonValue::Null)}};
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
      {QStringLiteral("oneIn"), tally.tenhou > 0 ? QJsonValue(1.0 / f.rate) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("exact"), exactJson},
      {QStringLiteral("pValue"), f.pValue},
      {QStringLiteral("consistent"), f.consistent},
      {QStringLiteral("shortestRun"), tally.tenhou > 0 ? Count(tally.shortestRun) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("longestRun"), tally.tenhou > 0 ? Count(tally.longestRun) : QJsonValue(QJsonValue::Null)},
      {QStringLiteral("runsFit"), RunsFitJson(f)},
      {QStringLiteral("finds"), FindsJson(result)},
      {QStringLiteral("blockGames"), static_cast<qint64>(kBlockGames)},
      {QStringLiteral("threads"), result.threads},
      {QStringLiteral("processes"), result.processes},
      {QStringLiteral("device"), DeviceName(result.device)},
      {QStringLiteral("seconds"), result.elapsedSeconds},
      {QStringLiteral("gamesPerSecond"), f.gamesPerSecond},
      {QStringLiteral("interrupted"), result.stop == StopReason::kInterrupted}};
}

}  // namespace kestrum
