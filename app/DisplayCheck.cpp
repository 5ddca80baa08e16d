#include "app/DisplayCheck.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kHowToRun =
    "; start it from a desktop session, or without one on a virtual X server: xvfb-run -a kestrum\n";

std::string_view EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string_view(value) : std::string_view();
}

// The platform Qt will load: a -platform argument wins over QT_QPA_PLATFORM;
// empty when neither names one.
std::string_view RequestedPlatform(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return argv[i + 1];
  }
  return EnvironmentValue("QT_QPA_PLATFORM");
}

// "xcb:display=..." and "wayland-egl" name the same two window systems.
bool NeedsWindowSystem(std::string_view platform) {
  return platform.empty() || platform.starts_with("xcb") || platform.starts_with("wayland");
}

std::string DisplayName() {
  const std::string_view display = EnvironmentValue("DISPLAY");
  return display.empty() ? std::string("DISPLAY is not set") : "cannot open X display \"" + std::string(display) + "\"";
}

struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString text;
};

QtMessageHandler previousHandler = nullptr;
bool holdingMessages = false;
std::vector<HeldMessage>& HeldMessages() {
  static std::vector<HeldMessage> held;
  return held;
}

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fputs(("kestrum: no display: " + DisplayName() + kHowToRun).c_str(), stderr);
    std::_Exit(1);
  }
  const std::string category = context.category != nullptr ? context.category : "";
  if (holdingMessages && category.starts_with("qt.qpa")) {
    HeldMessages().push_back({type, category, text});
    return;
  }
  if (previousHandler != nullptr) previousHandler(type, context, text);
}

}  // namespace

std::optional<std::string> MissingDisplayMessage(int argc, char** argv) {
  const std::string_view platform = RequestedPlatform(argc, argv);
  if (!NeedsWindowSystem(platform)) return std::nullopt;
  const bool x11 = !EnvironmentValue("DISPLAY").empty();
  const bool wayland = !EnvironmentValue("WAYLAND_DISPLAY").empty();
  if (x11 || (wayland && !platform.starts_with("xcb"))) return std::nullopt;
  return "kestrum: no display (DISPLAY is not set)" + std::string(kHowToRun);
}

DisplayFailureExit::DisplayFailureExit() {
  holdingMessages = true;
  previousHandler = qInstallMessageHandler(OnQtMessage);
}

DisplayFailureExit::~DisplayFailureExit() {
  qInstallMessageHandler(previousHandler);
  holdingMessages = false;
  for (const HeldMessage& message : HeldMessages()) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
    qt_message_output(message.type, context, message.text);
  }
  HeldMessages().clear();
}
