#pragma once
// A control group's CPU quota (a container's --cpus, systemd's CPUQuota)
// limits how many CPUs a process may really use, whatever its affinity mask
// says. Plain file reading, built everywhere, used on Linux.

#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrum::os {

// The tightest CPU quota on the path of the process's control group, as a
// whole number of CPUs rounded up, or nothing when no quota is set.
// procSelfCgroup is the text of /proc/self/cgroup; cgroupRoot is where the
// hierarchy is mounted (/sys/fs/cgroup). Both cgroup v2 (cpu.max) and v1
// (cpu.cfs_quota_us and cpu.cfs_period_us) are read.
std::optional<int> CgroupCpuLimit(const std::filesystem::path& cgroupRoot, std::string_view procSelfCgroup);

}  // namespace kestrum::os
