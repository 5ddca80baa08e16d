#pragma once
// What the tests of `kestrum-sim run` share: a private folder per test, the
// program started in a child process, and the output reduced to what must
// not differ between two runs of the same batch.

#include <gtest/gtest.h>

#include <QJsonObject>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrum::test {

// Finds its first heavenly hand at game 2288 of its sequence, early enough
// for a sanitizer build.
inline constexpr const char* kEarlySeed = "810";

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

std::string Slurp(const std::string& path);
QJsonObject JsonOf(const std::string& text);
// A log entry's clock times are the one thing that may differ.
std::string WithoutClockTimes(const std::string& log);
// The figures of a summary that depend on the machine and the moment.
QJsonObject WithoutTimings(QJsonObject json);

// In a child after fork: becomes the program with these arguments.
[[noreturn]] void ExecProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace kestrum::test
