#include "platform/AudioServer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

namespace kestrum {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool IsSocket(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR) != 0;
}

// pulseaudio's X11 module publishes the server on the root window, which is
// how a forwarded X session finds the sound of the machine it came from.
std::string ServerNamedOnXScreen() {
  auto* x11 = qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
  if (connection == nullptr) return {};
  constexpr std::string_view kName = "PULSE_SERVER";
  const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(kName.size()), kName.data()), nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) return {};
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return {};
  const Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_STRING, 0, 256), nullptr));
  if (!property) return {};
  const auto* text = static_cast<const char*>(xcb_get_property_value(property.get()));
  return std::string(text, static_cast<std::size_t>(xcb_get_property_value_length(property.get())));
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// What the client configuration says, the later file winning as libpulse
// reads them: a server named there, and whether it may start one itself.
struct ClientSettings {
  bool namesServer = false;
  bool autospawn = true;
};

void ReadClientConfig(const std::string& path, ClientSettings& settings) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') continue;
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(text.substr(0, equals));
    const std::string_view value = Trimmed(text.substr(equals + 1));
    if (key == "default-server") settings.namesServer = !value.empty();
    if (key == "autospawn") settings.autospawn = value == "yes" || value == "1" || value == "true" || value == "on";
  }
}

// The "*.conf" files of a drop-in folder in the order libpulse reads them,
// by name; none where the folder is missing.
std::vector<std::string> ConfigDropIns(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".conf") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

AudioServerPlaces AudioServerPlacesHere() {
  AudioServerPlaces places;
  places.namedServer = Environment("PULSE_SERVER");
  if (places.namedServer.empty()) places.namedServer = ServerNamedOnXScreen();
  places.runtimeDir = Environment("PULSE_RUNTIME_PATH");
  if (places.runtimeDir.empty() && !Environment("XDG_RUNTIME_DIR").empty()) {
    places.runtimeDir = Environment("XDG_RUNTIME_DIR") + "/pulse";
  }
  places.systemSockets = {"/run/pulse/native", "/var/run/pulse/native"};
  const std::string ownConfig = Environment("PULSE_CLIENTCONFIG");
  if (!ownConfig.empty()) {
    places.clientConfigs = {ownConfig};
  } else {
    const std::string home = Environment("HOME");
    const std::string configHome = Environment("XDG_CONFIG_HOME").empty() ? home + "/.config"
                                                                            : Environment("XDG_CONFIG_HOME");
    places.clientConfigs = {"/etc/pulse/client.conf"};
    const std::vector<std::string> dropIns = ConfigDropIns("/etc/pulse/client.conf.d");
    places.clientConfigs.insert(places.clientConfigs.end(), dropIns.begin(), dropIns.end());
    places.clientConfigs.push_back(configHome + "/pulse/client.conf");
  }
  places.daemons = {"/usr/bin/pulseaudio"};
  return places;
}

bool AudioServerMayAnswer(const AudioServerPlaces& places) {
  if (!places.namedServer.empty()) return true;
  if (places.runtimeDir.empty() || IsSocket(places.runtimeDir + "/native")) return true;
  for (const std::string& socket : places.systemSockets) {
    if (IsSocket(socket)) return true;
  }
  ClientSettings settings;
  for (const std::string& config : places.clientConfigs) ReadClientConfig(config, settings);
  if (settings.namesServer) return true;
  if (!settings.autospawn) return false;
  for (const std::string& daemon : places.daemons) {
    if (IsExecutable(daemon)) return true;
  }
  return false;
}

}  // namespace kestrum
