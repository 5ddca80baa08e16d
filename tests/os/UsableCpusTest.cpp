// The CPU quota of a control group, read from real files laid out as the
// kernel lays them out, in both cgroup versions.

#include "os/CgroupCpuLimit.h"
#include "os/Files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <thread>

namespace kestrum::os {
namespace {

class CgroupTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("kestrum-cgroup-" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(root_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  void Write(const std::filesystem::path& relative, const std::string& text) {
    std::filesystem::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << text;
  }

  std::filesystem::path root_;
};

TEST_F(CgroupTree, UnifiedHierarchyTakesTheTightestQuotaOnThePathRoundedUp) {
  Write("user.slice/cpu.max", "max 100000\n");
  Write("user.slice/job/cpu.max", "150000 100000\n");
  EXPECT_EQ(CgroupCpuLimit(root_, "0::/user.slice/job\n"), 2);
  Write("user.slice/cpu.max", "50000 100000\n");  // the parent allows half a CPU
  EXPECT_EQ(CgroupCpuLimit(root_, "0::/user.slice/job\n"), 1);
  Write("user.slice/cpu.max", "max 100000\n");
  Write("user.slice/job/cpu.max", "max 100000\n");
  EXPECT_EQ(CgroupCpuLimit(root_, "0::/user.slice/job\n"), std::nullopt);
  EXPECT_EQ(CgroupCpuLimit(root_, "0::/nowhere\n"), std::nullopt);
}

TEST_F(CgroupTree, VersionOneReadsTheCpuControllersQuotaAndPeriod) {
  const std::string self = "4:memory:/x\n3:cpu,cpuacct:/docker/abc\n0::/\n";
  Write("cpu,cpuacct/docker/abc/cpu.cfs_quota_us", "300000\n");
  Write("cpu,cpuacct/docker/abc/cpu.cfs_period_us", "100000\n");
  EXPECT_EQ(CgroupCpuLimit(root_, self), 3);
  Write("cpu,cpuacct/docker/abc/cpu.cfs_quota_us", "-1\n");
  EXPECT_EQ(CgroupCpuLimit(root_, self), std::nullopt);
  EXPECT_EQ(CgroupCpuLimit(root_, "garbage without colons\n"), std::nullopt);
}

TEST(UsableCpus, IsBetweenOneAndTheMachinesCount) {
  EXPECT_GE(UsableCpus(), 1);
  EXPECT_LE(static_cast<unsigned>(UsableCpus()), std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace
}  // namespace kestrum::os
