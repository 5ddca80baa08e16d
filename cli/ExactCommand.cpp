// kestrum-sim exact: the exact probability of a heavenly hand, counted, not
// simulated.

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "batch/ExactCount.h"
#include "batch/ExactDistance.h"

namespace kestrum {
namespace {

constexpr int kDecimalPlaces = 24;

struct FormLine {
  QString key;
  QString label;
  Uint128 deals;
};

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString ReducedFraction(Uint128 numerator, Uint128 denominator) {
  const Uint128 divisor = Gcd(numerator, denominator);
  return Text(DecimalText(numerator / divisor)) + QLatin1Char('/') + Text(DecimalText(denominator / divisor));
}

QJsonObject FormJson(const FormLine& form, Uint128 deals) {
  const Uint128 divisor = Gcd(form.deals, deals);
  return QJsonObject{{QStringLiteral("deals"), Text(DecimalText(form.deals))},
                     {QStringLiteral("numerator"), Text(DecimalText(form.deals / divisor))},
                     {QStringLiteral("denominator"), Text(DecimalText(deals / divisor))},
                     {QStringLiteral("decimal"), Text(FractionDecimalText(form.deals, deals, kDecimalPlaces))},
                     {QStringLiteral("probability"), Ratio(form.deals, deals)},
                     {QStringLiteral("oneIn"), Ratio(deals, form.deals)}};
}

struct FormName {
  DistanceForm form;
  QString key;
  QString label;
};

const FormName kDistanceForms[] = {
    {DistanceForm::kBest, QStringLiteral("least"), QStringLiteral("the least over the three forms")},
    {DistanceForm::kStandard, QStringLiteral("standard"), QStringLiteral("four sets and a pair")},
    {DistanceForm::kSevenPairs, QStringLiteral("sevenPairs"), QStringLiteral("seven pairs")},
    {DistanceForm::kThirteenOrphans, QStringLiteral("thirteenOrphans"), QStringLiteral("thirteen orphans")},
};

constexpr int kMeanPlaces = 9;

// The mean written exactly to kMeanPlaces decimals (truncated), from the
// count shifted by one so that no negative number is divided.
QString MeanText(const DistanceCounts& counts, DistanceForm form) {
  const Uint128 numerator = counts.MeanPlusOneNumerator(form);
  const Uint128 deals = counts.deals;
  if (numerator >= deals) return Text(FractionDecimalText(numerator - deals, deals, kMeanPlaces));
  // A mean below 0: 1 - numerator/deals, with the sign written.
  return QLatin1Char('-') + Text(FractionDecimalText(deals - numerator, deals, kMeanPlaces));
}

QJsonObject DistanceJson(const DistanceCounts& counts) {
  QJsonObject forms;
  for (const FormName& name : kDistanceForms) {
    QJsonArray bins;
    for (int d = counts.Smallest(name.form); d <= counts.Largest(name.form); ++d) {
      const Uint128 deals = counts.At(name.form, d);
      bins.append(QJsonObject{{QStringLiteral("distance"), d},
                              {QStringLiteral("deals"), Text(DecimalText(deals))},
                              {QStringLiteral("share"), Ratio(deals, counts.deals)},
                              {QStringLiteral("oneIn"), Ratio(counts.deals, deals)}});
    }
    forms.insert(name.key, QJsonObject{{QStringLiteral("mean"), counts.Mean(name.form)},
                                       {QStringLiteral("meanDecimal"), MeanText(counts, name.form)},
                                       {QStringLiteral("byDistance"), bins}});
  }
  return QJsonObject{{QStringLiteral("tiles"), counts.tiles},
                     {QStringLiteral("deals"), Text(DecimalText(counts.deals))},
                     {QStringLiteral("forms"), forms}};
}

QString DistanceText(const QString& title, const DistanceCounts& counts) {
  QString text = QStringLiteral("\n%1 by distance, of %2 deals:\n").arg(title, Text(DecimalText(counts.deals)));
  for (const FormName& name : kDistanceForms) {
    text += QStringLiteral("  %1, mean %2\n").arg(name.label, MeanText(counts, name.form));
    for (int d = counts.Smallest(name.form); d <= counts.Largest(name.form); ++d) {
      const Uint128 deals = counts.At(name.form, d);
      const QString oneIn = QStringLiteral("1 in %1").arg(Ratio(counts.deals, deals), 0, 'f', 1);
      text += QStringLiteral("    %1 %2  %3  %4\n")
                  .arg(d, 3)
                  .arg(Text(DecimalText(deals)), 20)
                  .arg(Ratio(deals, counts.deals), 12, 'e', 6)
                  .arg(oneIn);
    }
  }
  return text;
}

}  // namespace

int ExactCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("exact"), QStringLiteral("[options]"),
      QStringLiteral("Prints the exact probability that the dealer's fourteen tiles, taken from a wall of four\n"
                     "copies of each of the 34 kinds, form a complete hand: counted over every count of tiles,\n"
                     "not simulated. Split by the form the complete-hand test names: thirteen orphans first,\n"
                     "then seven pairs, then four sets and a pair.\n"
                     "Then the exact distance distributions of the dealer's fourteen tiles and of a non-dealer's\n"
                     "thirteen: the distance of a hand is the fewest tiles it must take in, giving up one of its\n"
                     "own for each, to be complete, less one (-1 complete, 0 one tile away), the least over the\n"
                     "three forms and each form alone; each distance with its number of deals, share and \"1 in\".")};
  QCommandLineParser parser;
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the figures as JSON."));
  parser.addOption(json);
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

  const auto start = std::chrono::steady_clock::now();
  const ExactCounts counts = CountCompleteDeals();
  const double milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const auto distanceStart = std::chrono::steady_clock::now();
  const ExactDistances distances = CountDealsByDistance();
  const double distanceMilliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - distanceStart).count();
  const FormLine forms[] = {
      {QStringLiteral("all"), QStringLiteral("complete"), counts.Complete()},
      {QStringLiteral("thirteenOrphans"), QStringLiteral("  thirteen orphans"), counts.thirteenOrphans},
      {QStringLiteral("sevenPairs"), QStringLiteral("  seven pairs"), counts.sevenPairs},
      {QStringLiteral("standard"), QStringLiteral("  standard"), counts.standard},
  };

  if (parser.isSet(json)) {
    QJsonObject out{{QStringLiteral("deals"), Text(DecimalText(counts.deals))},
                    {QStringLiteral("milliseconds"), milliseconds}};
    for (const FormLine& form : forms) out.insert(form.key, FormJson(form, counts.deals));
    out.insert(QStringLiteral("distance"), QJsonObject{{QStringLiteral("dealer"), DistanceJson(distances.dealer)},
                                                       {QStringLiteral("nonDealer"), DistanceJson(distances.nonDealer)},
                                                       {QStringLiteral("milliseconds"), distanceMilliseconds}});
    PrintOut(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)));
    return kExitOk;
  }
  QString text = QStringLiteral("Of the %1 ways to deal fourteen of the 136 tiles:\n").arg(Text(DecimalText(counts.deals)));
  for (const FormLine& form : forms) {
    text += QStringLiteral("%1 %2 deals, %3 = %4 = 1 in %5\n")
                .arg(form.label.leftJustified(18, QLatin1Char(' ')), Text(DecimalText(form.deals)),
                     ReducedFraction(form.deals, counts.deals),
                     Text(FractionDecimalText(form.deals, counts.deals, kDecimalPlaces)))
                .arg(Ratio(counts.deals, form.deals), 0, 'f', 1);
  }
  text += QStringLiteral("(counted in %1 ms)\n").arg(milliseconds, 0, 'f', 1);
  text += QStringLiteral("\nThe distance of a hand: the fewest tiles it must take in, giving up one of its own for\n"
                         "each, to be complete, less one; -1 is complete, 0 one tile away.\n");
  text += DistanceText(QStringLiteral("The dealer's fourteen tiles"), distances.dealer);
  text += DistanceText(QStringLiteral("A non-dealer's thirteen tiles"), distances.nonDealer);
  text += QStringLiteral("(distances counted in %1 ms)\n").arg(distanceMilliseconds, 0, 'f', 1);
  PrintOut(text);
  return kExitOk;
}

}  // namespace kestrum
