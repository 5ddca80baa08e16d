#pragma once
// Running the real kestrum-sim from a test: standard input from a string,
// standard output and error captured, the exit code returned.

#include <string>
#include <vector>

namespace kestrum::test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ProcessResult RunSim(const std::vector<std::string>& args, const std::string& input = {});
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

}  // namespace kestrum::test
