#include "cli/PlotFile.h"

#include "batch/BatchResult.h"
#include "plot/BatchPlotData.h"

namespace kestrum {
namespace {

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
