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
// Any program, found on the PATH; argv[0] names it.
ProcessResult RunProgram(std::vector<std::string> argv, const std::string& input = {});

}  // namespace kestrum::test
