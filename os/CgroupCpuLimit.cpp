#include "os/CgroupCpuLimit.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrum::os {
namespace {

struct CgroupEntry {
  std::string controllers;  // empty for the unified (v2) hierarchy
  std::string path;         // from the hierarchy's root, starting with "/"
};

std::vector<CgroupEntry> ParseProcSelfCgroup(std::string_view text) {
  std::vector<CgroupEntry> entries;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    const auto first = line.find(':');
    const auto second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    entries.push_back({line.substr(first + 1, second - first - 1), line.substr(second + 1)});
  }
  return entries;
}

std::optional<double> ReadNumber(const std::filesystem::path& file) {
  std::ifstream in(file);
  double value = 0;
  if (!(in >> value)) return std::nullopt;
  return value;
}

// cpu.max holds "max 100000" or "<quota> <period>".
std::optional<double> QuotaV2(const std::filesystem::path& dir) {
  std::ifstream in(dir / "cpu.max");
  std::string quota;
  double period = 0;
  if (!(in >> quota >> period) || quota == "max" || period <= 0) return std::nullopt;
  try {
    const double value = std::stod(quota);
    return value > 0 ? std::optional<double>(value / period) : std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<double> QuotaV1(const std::filesystem::path& dir) {
  const auto quota = ReadNumber(dir / "cpu.cfs_quota_us");
  const auto period = ReadNumber(dir / "cpu.cfs_period_us");
  if (!quota || !period || *quota <= 0 || *period <= 0) return std::nullopt;
  return *quota / *period;
}

bool HasCpuController(const std::string& controllers) {
  std::istringstream list(controllers);
  std::string name;
  while (std::getline(list, name, ','))
    if (name == "cpu") return true;
  return false;
}

// Every directory from the group itself up to the hierarchy's root: a quota
// on any ancestor limits the group too.
void TightenAlongPath(const std::filesystem::path& mount, const std::string& path, bool unified,
                      std::optional<double>& tightest) {
  std::filesystem::path relative = std::filesystem::path(path).relative_path();
  for (;;) {
    const auto quota = unified ? QuotaV2(mount / relative) : QuotaV1(mount / relative);
    if (quota && (!tightest || *quota < *tightest)) tightest = quota;
    if (relative.empty()) break;
    relative = relative.parent_path();
  }
}

}  // namespace

std::optional<int> CgroupCpuLimit(const std::filesystem::path& cgroupRoot, std::string_view procSelfCgroup) {
  std::optional<double> tightest;
  for (const CgroupEntry& entry : ParseProcSelfCgroup(procSelfCgroup)) {
    if (entry.controllers.empty()) {
      TightenAlongPath(cgroupRoot, entry.path, true, tightest);
    } else if (HasCpuController(entry.controllers)) {
      // v1 mounts each hierarchy under the name of its controllers.
      for (const std::string& mount : {entry.controllers, std::string("cpu")})
        if (std::error_code error; std::filesystem::exists(cgroupRoot / mount, error)) {
          TightenAlongPath(cgroupRoot / mount, entry.path, false, tightest);
          break;
        }
    }
  }
  if (!tightest) return std::nullopt;
  return std::max(1, static_cast<int>(std::ceil(*tightest)));
}

}  // namespace kestrum::os
