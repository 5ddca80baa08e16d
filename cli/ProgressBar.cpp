#include "cli/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "batch/BatchRunner.h"

namespace kestrum {
namespace {

constexpr int kBarWidth = 24;
constexpr double kRedrawSeconds = 0.2;

std::string DurationText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "--:--";
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

double GamesPerSecond(const BatchProgress& progress) {
  return progress.elapsedSeconds > 0 ? static_cast<double>(progress.gamesPlayed) / progress.elapsedSeconds : 0.0;
}

}  // namespace

ProgressBar::ProgressBar(const BatchLimits& limits, double expectedRate)
    : limits_(limits), expectedRate_(expectedRate) {}

// Under a heavenly-hand limit the share done is the share of the games that
// the remaining heavenly hands are expected to take, not the share of
// heavenly hands found: that would stand still for minutes and then jump.
double ProgressBar::Fraction(const BatchProgress& progress) const {
  const auto played = static_cast<double>(progress.gamesPlayed);
  double fraction = 0.0;
  if (limits_.games > 0) fraction = std::max(fraction, played / static_cast<double>(limits_.games));
  if (limits_.tenhou > 0 && expectedRate_ > 0) {
    const double expectedLeft =
        static_cast<double>(std::max<Count64>(0, limits_.tenhou - progress.tenhou)) / expectedRate_;
    fraction = std::max(fraction, played / (played + expectedLeft));
  }
  if (limits_.seconds > 0) fraction = std::max(fraction, progress.elapsedSeconds / limits_.seconds);
  return std::clamp(fraction, 0.0, 1.0);
}

std::pair<double, bool> ProgressBar::SecondsLeft(const BatchProgress& progress) const {
  const double perSecond = GamesPerSecond(progress);
  double left = INFINITY;
  bool expected = false;
  if (limits_.seconds > 0) left = std::min(left, limits_.seconds - progress.elapsedSeconds);
  if (perSecond > 0 && limits_.games > 0)
    left = std::min(left, static_cast<double>(std::max<Count64>(0, limits_.games - progress.gamesPlayed)) / perSecond);
  if (perSecond > 0 && limits_.tenhou > 0 && expectedRate_ > 0) {
    const double tenhouLeft =
        static_cast<double>(std::max<Count64>(0, limits_.tenhou - progress.tenhou)) / expectedRate_ / perSecond;
    if (tenhouLeft < left) {
      left = tenhouLeft;
      expected = true;
    }
  }
  return {std::max(0.0, left), expected};
}

std::string ProgressBar::Line(const BatchProgress& progress) const {
  const bool bounded = limits_.games > 0 || limits_.tenhou > 0 || limits_.seconds > 0;
  std::string bar;
  if (bounded) {
    const int filled = static_cast<int>(Fraction(progress) * kBarWidth);
    bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
  }
  std::string tenhou = std::to_string(progress.tenhou);
  if (limits_.tenhou > 0) tenhou += "/" + std::to_string(limits_.tenhou);
  std::string left = "until Ctrl-C";
  if (bounded) {
    const auto [seconds, expected] = SecondsLeft(progress);
    left = std::string("left ") + (expected ? "about " : "") + DurationText(seconds);
  }
  char text[256];
  std::snprintf(text, sizeof text, "%s%lld games  %.0f/s  heavenly hands %s  %s", bar.c_str(),
                static_cast<long long>(progress.gamesPlayed), GamesPerSecond(progress), tenhou.c_str(), left.c_str());
  return text;
}

void ProgressBar::Update(const BatchProgress& progress) {
  if (lastDrawnAt_ >= 0 && progress.elapsedSeconds - lastDrawnAt_ < kRedrawSeconds) return;
  lastDrawnAt_ = progress.elapsedSeconds;
  std::fprintf(stderr, "\r\033[K%s", Line(progress).c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace kestrum
