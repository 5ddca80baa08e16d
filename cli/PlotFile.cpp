#include "cli/PlotFile.h"

#include "batch/BatchFigures.h"
#include "batch/BatchResult.h"
#include "batch/ExactDistance.h"
#include "plot/BatchPlotData.h"

namespace kestrum {
namespace {

PlottedDistances Plotted(const DistanceFigures& figures) {
  PlottedDistances plotted;
  plotted.games.assign(figures.seen.begin(), figures.seen.end());
  plotted.exactShare.assign(figures.probability.begin(), figures.probability.end());
  plotted.pValue = figures.fit ? figures.fit->pValue : -1.0;
  return plotted;
}

// A heavenly hand is placed by the games counted up to it: after a time
// limit or Ctrl-C, blocks cut short leave gaps in the sequence's indexes.
BatchPlotData PlotDataOf(const BatchResult& result, double exactProbability) {
  BatchPlotData data;
  data.totalGames = result.tally.games;
  data.exactProbability = exactProbability;
  data.tenhou.reserve(result.finds.size());
  data.runLengths.reserve(result.finds.size());
  for (const TenhouFind& find : result.finds) {
    data.tenhou.push_back({find.gamesSoFar - 1, find.form});
    data.runLengths.push_back(find.runLength);
  }
  const ExactDistances& exact = SharedExactDistances();
  const BatchTally& tally = result.tally;
  data.dealerDistances = Plotted(DistanceFiguresOf(tally.distances.dealer, exact.dealer, tally.games));
  data.firstThirteenDistances =
      Plotted(DistanceFiguresOf(tally.distances.firstThirteen, exact.nonDealer, tally.games));
  return data;
}

}  // namespace

PlotFile::PlotFile(const QString& path) : file_(path), format_(PlotFormatFor(path)) {}

QString PlotFile::Open() {
  if (!format_) return QStringLiteral("the file name must end in .svg or .png");
  if (!file_.open(QIODevice::WriteOnly)) return file_.errorString();
  return {};
}

QString PlotFile::Write(const BatchResult& result, double exactProbability) {
  if (!format_ || !file_.isOpen()) return QStringLiteral("the file is not open");
  if (!WriteBatchPlot(file_, *format_, PlotDataOf(result, exactProbability)) || !file_.commit())
    return file_.errorString();
  return {};
}

}  // namespace kestrum
