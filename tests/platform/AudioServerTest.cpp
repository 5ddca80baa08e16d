// Whether the chime opens the audio output: only where a PulseAudio client
// would find a server, so that a machine without one keeps a quiet terminal
// and no stray folder.

#include "platform/AudioServer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace kestrum {
namespace {

class AudioServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrum-audio-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/run/pulse");
  }
  void TearDown() override {
    if (listener_ >= 0) close(listener_);
    std::filesystem::remove_all(dir_);
  }

  // A machine with nothing: no server named, no socket, no configuration,
  // no daemon to start.
  AudioServerPlaces Nothing() const {
    AudioServerPlaces places;
    places.runtimeDir = dir_ + "/run/pulse";
    places.systemSockets = {dir_ + "/system/native"};
    places.clientConfigs = {dir_ + "/etc-client.conf", dir_ + "/home-client.conf"};
    places.daemons = {dir_ + "/pulseaudio"};
    return places;
  }

  void Listen(const std::string& path) {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener_, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  }

  void Write(const std::string& path, const std::string& text, mode_t mode = 0644) const {
    std::ofstream(path) << text;
    chmod(path.c_str(), mode);
  }

  std::string dir_;
  int listener_ = -1;
};

TEST_F(AudioServerTest, NothingThereMeansNoServer) { EXPECT_FALSE(AudioServerMayAnswer(Nothing())); }

TEST_F(AudioServerTest, AServerNamedOrListeningMayAnswer) {
  AudioServerPlaces named = Nothing();
  named.namedServer = "tcp:soundhost";
  EXPECT_TRUE(AudioServerMayAnswer(named));

  Listen(dir_ + "/run/pulse/native");
  EXPECT_TRUE(AudioServerMayAnswer(Nothing()));
}

TEST_F(AudioServerTest, ASystemWideServerMayAnswer) {
  std::filesystem::create_directories(dir_ + "/system");
  Listen(dir_ + "/system/native");
  EXPECT_TRUE(AudioServerMayAnswer(Nothing()));
}

// A leftover plain file where the socket belongs is no server.
TEST_F(AudioServerTest, AFileWhereTheSocketBelongsIsNoServer) {
  Write(dir_ + "/run/pulse/native", "");
  EXPECT_FALSE(AudioServerMayAnswer(Nothing()));
}

TEST_F(AudioServerTest, AnUnknownRuntimeDirectoryMightHoldOne) {
  AudioServerPlaces places = Nothing();
  places.runtimeDir.clear();
  EXPECT_TRUE(AudioServerMayAnswer(places));
}

TEST_F(AudioServerTest, TheClientConfigurationNamesAServerUnlessCommentedOut) {
  Write(dir_ + "/etc-client.conf", "; default-server = tcp:a\n# default-server = tcp:b\n");
  EXPECT_FALSE(AudioServerMayAnswer(Nothing()));
  Write(dir_ + "/home-client.conf", "  default-server = tcp:soundhost  \r\n");
  EXPECT_TRUE(AudioServerMayAnswer(Nothing()));
  Write(dir_ + "/home-client.conf", "default-server =\n");
  EXPECT_FALSE(AudioServerMayAnswer(Nothing()));
}

// A client starts the daemon itself unless told not to; the later file wins.
TEST_F(AudioServerTest, ADaemonToStartCountsUnlessAutospawnIsOff) {
  Write(dir_ + "/pulseaudio", "#!/bin/sh\n", 0755);
  EXPECT_TRUE(AudioServerMayAnswer(Nothing()));
  Write(dir_ + "/etc-client.conf", "autospawn = no\n");
  EXPECT_FALSE(AudioServerMayAnswer(Nothing()));
  Write(dir_ + "/home-client.conf", "autospawn = yes\n");
  EXPECT_TRUE(AudioServerMayAnswer(Nothing()));
  Write(dir_ + "/pulseaudio", "not a program\n", 0644);
  EXPECT_FALSE(AudioServerMayAnswer(Nothing()));
}

}  // namespace
}  // namespace kestrum
