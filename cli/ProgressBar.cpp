#include "cli/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

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

}  // namespace

ProgressBar::ProgressBar(const BatchOptions& options, double expectedRate)
    : options_(options), expectedRate_(expectedRate) {}

double ProgressBar::Fraction(const BatchProgress& progress) const {
  double fraction = 0.0;
  if (options_.games > 0)
    fraction = std::max(fraction, static_cast<double>(progress.games) / static_cast<double>(options_.games));
  if (options_.tenhou > 0)
    fraction = std::max(fraction, static_cast<double>(progress.tenhou) / static_cast<double>(options_.tenhou));
  if (options_.seconds > 0) fraction = std::max(fraction, progress.elapsedSeconds / options_.seconds);
  return std::clamp(fraction, 0.0, 1.0);
}

double ProgressBar::SecondsLeft(const BatchProgress& progress) const {
  const double perSecond =
      progress.elapsedSeconds > 0 ? static_cast<double>(progress.games) / progress.elapsedSeconds : 0.0;
  double left = INFINITY;
  if (options_.seconds > 0) left = std::min(left, options_.seconds - progress.elapsedSeconds);
  if (perSecond > 0 && options_.games > 0)
    left = std::min(left, static_cast<double>(options_.games - progress.games) / perSecond);
  if (perSecond > 0 && options_.tenhou > 0 && expectedRate_ > 0)
    left = std::min(left, static_cast<double>(std::max<Count64>(0, options_.tenhou - progress.tenhou)) /
                              expectedRate_ / perSecond);
  return left;
}

void ProgressBar::Update(const BatchProgress& progress) {
  if (lastDrawnAt_ >= 0 && progress.elapsedSeconds - lastDrawnAt_ < kRedrawSeconds) return;
  lastDrawnAt_ = progress.elapsedSeconds;
  const bool bounded = options_.games > 0 || options_.tenhou > 0 || options_.seconds > 0;
  std::string bar;
  if (bounded) {
    const int filled = static_cast<int>(Fraction(progress) * kBarWidth);
    bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
  }
  const double perSecond =
      progress.elapsedSeconds > 0 ? static_cast<double>(progress.games) / progress.elapsedSeconds : 0.0;
  std::fprintf(stderr, "\r\033[K%s%lld games  %.0f/s  heavenly hands %lld  left %s", bar.c_str(),
               static_cast<long long>(progress.games), perSecond, static_cast<long long>(progress.tenhou),
               bounded ? DurationText(SecondsLeft(progress)).c_str() : "until Ctrl-C");
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
