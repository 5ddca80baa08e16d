// kestrum-sim exact: the exact probability of a heavenly hand, counted, not
// simulated.

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "batch/ExactCount.h"

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

}  // namespace

int ExactCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("exact"), QStringLiteral("[options]"),
      QStringLiteral("Prints the exact probability that the dealer's fourteen tiles, taken from a wall of four\n"
                     "copies of each of the 34 kinds, form a complete hand: counted over every count of tiles,\n"
                     "not simulated. Split by the form the complete-hand test names: thirteen orphans first,\n"
                     "then seven pairs, then four sets and a pair.")};
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
  PrintOut(text);
  return kExitOk;
}

}  // namespace kestrum
