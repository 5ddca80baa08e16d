#pragma once
// `kestrum-sim run --plot FILE`: the picture of the batch, SVG or PNG by the
// file's extension. The file is opened before the first game, so that a
// name that cannot be written is a usage error at once rather than news
// after hours of play; the picture replaces the file in one step at the end,
// so a failed or interrupted write leaves an earlier plot whole, and a link
// or file laid beside it in a shared folder is never written through.

#include <QString>

#include <filesystem>

#include <optional>

#include "plot/BatchPlot.h"

namespace kestrum {

struct BatchResult;

class PlotFile {
 public:
  explicit PlotFile(const QString& path);

  // Why the file cannot be written, or an empty text when it is ready.
  QString Open();

  // Draws the batch into the file; why it failed, or an empty text.
  QString Write(const BatchResult& result, double exactProbability);

 private:
  std::filesystem::path file_;
  std::optional<PlotFormat> format_;
};

}  // namespace kestrum
