#pragma once

#include <QByteArray>

namespace kestrum::art {

inline constexpr int kChimeSampleRate = 22050;
inline constexpr int kChimeSampleCount = 13670;

// The heavenly-hand chime as a complete WAV file: 8-bit unsigned mono PCM.
QByteArray SynthesiseChimeWav();

}  // namespace kestrum::art
