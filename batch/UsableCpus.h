#pragma once
// How many CPUs this process may really use: the CPUs of its affinity mask
// (taskset, a batch system's binding), fewer when a control group's CPU
// quota (a container's --cpus, systemd's CPUQuota) allows less time.

#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrum {

// At least 1.
int UsableCpus();

// The tightest CPU quota on the path of the process's control group, as a
// whole number of CPUs rounded up, or nothing when no quota is set.
// procSelfCgroup is the text of /proc/self/cgroup; cgroupRoot is where the
// hierarchy is mounted (/sys/fs/cgroup). Both cgroup v2 (cpu.max) and v1
// (cpu.cfs_quota_us and cpu.cfs_period_us) are read.
std::optional<int> CgroupCpuLimit(const std::filesystem::path& cgroupRoot, std::string_view procSelfCgroup);

}  // namespace kestrum
