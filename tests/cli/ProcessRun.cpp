#include "ProcessRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace kestrum::test {
namespace {

std::string TempPath(const char* what) {
  static int counter = 0;
  return "/tmp/kestrum-cli-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + what;
}

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

// KESTRUM_SIM_PROGRAM stands in for the build's own program where the tests
// run on another machine than the one that built them.
ProcessResult RunSim(const std::vector<std::string>& args, const std::string& input) {
  const char* elsewhere = std::getenv("KESTRUM_SIM_PROGRAM");
  return RunProgram(elsewhere != nullptr ? elsewhere : KESTRUM_SIM, args, input);
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input) {
  const std::string in = TempPath("in");
  const std::string out = TempPath("out");
  const std::string err = TempPath("err");
  std::ofstream(in, std::ios::binary) << input;

  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ProcessResult result;
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = Slurp(out);
  result.err = Slurp(err);
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  return result;
}

}  // namespace kestrum::test
