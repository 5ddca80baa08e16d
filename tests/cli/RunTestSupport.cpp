#include "RunTestSupport.h"

#include <QJsonDocument>

#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace kestrum::test {

void FolderTest::SetUp() {
  dir_ = std::filesystem::temp_directory_path() / ("kestrum-run-" + std::to_string(getpid()) + "-" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

void FolderTest::TearDown() { std::filesystem::remove_all(dir_); }

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

QJsonObject JsonOf(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

std::string WithoutClockTimes(const std::string& log) {
  return std::regex_replace(log, std::regex("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"), "TIME");
}

QJsonObject WithoutTimings(QJsonObject json) {
  for (const char* key : {"elapsedSeconds", "startTime", "resumed", "gamesPerSecond", "threads", "processes"})
    json.remove(QLatin1String(key));
  return json;
}

void ExecProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  execv(pointers[0], pointers.data());
  _exit(101);
}

}  // namespace kestrum::test
