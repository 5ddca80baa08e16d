#include "cli/PlotFile.h"

namespace kestrum {

PlotFile::PlotFile(const QString& path) : file_(path), format_(PlotFormatFor(path)) {}

QString PlotFile::Open() {
  if (!format_) return QStringLiteral("the file name must end in .svg or .png");
  if (!file_.open(QIODevice::WriteOnly)) return file_.errorString();
  return {};
}

void PlotFile::AddTenhou(Count64 gameIndex, HandForm form, Count64 runLength) {
  data_.tenhou.push_back({gameIndex, form});
  data_.runLengths.push_back(runLength);
}

QString PlotFile::Write(Count64 totalGames, double exactProbability) {
  data_.totalGames = totalGames;
  data_.exactProbability = exactProbability;
  if (!format_ || !file_.isOpen()) return QStringLiteral("the file is not open");
  if (!WriteBatchPlot(file_, *format_, data_) || !file_.commit()) return file_.errorString();
  return {};
}

}  // namespace kestrum
