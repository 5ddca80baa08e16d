#include "Chime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace kestrum::art {

namespace {

struct Partial {
    double ratio;       // to the struck note
    double amplitude;
    double decaySeconds;
};

// The modes of a small struck metal bar: the upper ones inharmonic and
// short-lived, which is what makes a chime sound like a chime.
constexpr Partial kBarModes[] = {
    {1.0, 1.0, 0.32},
    {2.0, 0.22, 0.16},
    {2.756, 0.30, 0.11},
    {5.404, 0.10, 0.05},
};

struct Strike {
    double startSeconds;
    double frequency;
    double loudness;
};

// A rising major arpeggio, C6 E6 G6: a small fanfare for a rare event.
constexpr Strike kStrikes[] = {
    {0.000, 1046.50, 0.80},
    {0.085, 1318.51, 0.85},
    {0.170, 1567.98, 1.00},
};

constexpr double kAttackSeconds = 0.003;
constexpr double kFadeOutSeconds = 0.060;
constexpr double kPeak = 0.88;

double StrikeAt(const Strike& strike, double t) {
    const double local = t - strike.startSeconds;
    if (local < 0.0) return 0.0;
    const double attack = local < kAttackSeconds
        ? 0.5 - 0.5 * std::cos(std::numbers::pi * local / kAttackSeconds) : 1.0;
    double sum = 0.0;
    for (const Partial& p : kBarModes) {
        const double phase = 2.0 * std::numbers::pi * strike.frequency * p.ratio * local;
        sum += p.amplitude * std::exp(-local / p.decaySeconds) * std::sin(phase);
    }
    return strike.loudness * attack * sum;
}

std::vector<double> Synthesise() {
    std::vector<double> samples(kChimeSampleCount);
    const double duration = static_cast<double>(kChimeSampleCount) / kChimeSampleRate;
    for (int i = 0; i < kChimeSampleCount; ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        double v = 0.0;
        for (const Strike& s : kStrikes) v += StrikeAt(s, t);
        const double remaining = duration - t;
        if (remaining < kFadeOutSeconds) v *= remaining / kFadeOutSeconds;
        samples[static_cast<std::size_t>(i)] = v;
    }
    double peak = 0.0;
    for (double v : samples) peak = std::max(peak, std::abs(v));
    for (double& v : samples) v *= kPeak / peak;
    return samples;
}

// Triangular dither of one step keeps the quiet tail from turning into
// gritty steps; a fixed seed keeps the file the same on every run.
class Dither {
public:
    double Next() { return Uniform() - Uniform(); }

private:
    double Uniform() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    std::uint64_t state_ = 0x6b657374ULL;
};

void AppendLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

QByteArray WavHeader(std::uint32_t dataBytes) {
    QByteArray header;
    header.append("RIFF");
    AppendLe(header, 36 + dataBytes, 4);
    header.append("WAVEfmt ");
    AppendLe(header, 16, 4);                // fmt chunk size
    AppendLe(header, 1, 2);                 // PCM
    AppendLe(header, 1, 2);                 // mono
    AppendLe(header, kChimeSampleRate, 4);
    AppendLe(header, kChimeSampleRate, 4);  // bytes per second
    AppendLe(header, 1, 2);                 // block align
    AppendLe(header, 8, 2);                 // bits per sample
    header.append("data");
    AppendLe(header, dataBytes, 4);
    return header;
}

}  // namespace

QByteArray SynthesiseChimeWav() {
    const std::vector<double> samples = Synthesise();
    QByteArray wav = WavHeader(static_cast<std::uint32_t>(samples.size()));
    Dither dither;
    const double duration = static_cast<double>(kChimeSampleCount) / kChimeSampleRate;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double remaining = duration - static_cast<double>(i) / kChimeSampleRate;
        const double ditherScale = std::clamp(remaining / kFadeOutSeconds, 0.0, 1.0);
        const double level = 128.0 + 127.0 * samples[i] + ditherScale * dither.Next();
        const int byte = std::clamp(static_cast<int>(std::lround(level)), 0, 255);
        wav.append(static_cast<char>(static_cast<unsigned char>(byte)));
    }
    return wav;
}

}  // namespace kestrum::art
