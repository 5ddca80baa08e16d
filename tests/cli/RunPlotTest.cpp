// kestrum-sim run --plot, as a person runs it: the picture file next to the
// summary, and a name it cannot write refused before any game is played.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <unistd.h>

#include <fstream>
#include <string>

#include "ProcessRun.h"

namespace kestrum::test {
namespace {

std::string PlotPath(const std::string& name) { return "/tmp/kestrum-plot-test-" + std::to_string(getpid()) + "-" + name; }

QByteArray Contents(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const std::vector<std::string> kBatch = {"run", "--games", "400", "--threads", "1", "--seed", "1301"};

TEST(SimRunPlot, WritesThePictureBesideAnUnchangedSummary) {
  const ProcessResult plain = RunSim(kBatch);
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  for (const std::string name : {"rate.svg", "rate.PNG"}) {
    const std::string path = PlotPath(name);
    std::ofstream(path) << "an older picture";
    std::vector<std::string> args = kBatch;
    args.insert(args.end(), {"--plot", path});
    const ProcessResult drawn = RunSim(args);
    EXPECT_EQ(drawn.exitCode, 0) << drawn.err;
    // The summary's clock figures differ from run to run; the counts do not.
    EXPECT_EQ(drawn.out.substr(0, drawn.out.find("time")), plain.out.substr(0, plain.out.find("time")));
    const QByteArray picture = Contents(path);
    EXPECT_GT(picture.size(), 10000) << name;
    if (name.ends_with("svg")) {
      EXPECT_TRUE(picture.startsWith("<?xml")) << name;
      EXPECT_TRUE(picture.contains("viewBox=\"0 0 800 720\""));
      EXPECT_TRUE(picture.contains("heavenly-hand rate: "));
    } else {
      EXPECT_EQ(QImage::fromData(picture, "PNG").size(), QSize(800, 720));
    }
    std::remove(path.c_str());
  }
}

TEST(SimRunPlot, ANameItCannotWriteIsAUsageErrorBeforeAnyGame) {
  const struct {
    std::string path;
    const char* why;
  } kCases[] = {
      {"/nonexistent-kestrum-dir/rate.png", "--plot /nonexistent-kestrum-dir/rate.png:"},
      {PlotPath("rate.jpg"), "must end in .svg or .png"},
      {PlotPath("rate"), "must end in .svg or .png"},
      {"", "a file name is needed"},
  };
  for (const auto& bad : kCases) {
    std::vector<std::string> args = {"run", "--games", "100000", "--threads", "1", "--plot", bad.path};
    const ProcessResult result = RunSim(args);
    EXPECT_EQ(result.exitCode, 2) << bad.path;
    EXPECT_EQ(result.out, "") << bad.path;
    EXPECT_NE(result.err.find(bad.why), std::string::npos) << result.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(bad.path))) << bad.path;
  }
}

}  // namespace
}  // namespace kestrum::test
