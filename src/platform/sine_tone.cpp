#include "platform/sine_tone.h"

#include <QtEndian>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Long enough to take the click away, short enough to leave a 10 ms tone
// mostly at full strength.
constexpr int kFadeMs = 2;
}  // namespace

int sineToneFrames(int durationMs, int sampleRate) {
    if (durationMs <= 0 || sampleRate <= 0)
        return 0;
    return int(qint64(sampleRate) * durationMs / 1000);
}

QByteArray sineTone(int frequencyHz, int durationMs, int sampleRate, int channels,
                    double amplitude) {
    const int frames = sineToneFrames(durationMs, sampleRate);
    if (frequencyHz <= 0 || frames <= 0 || channels <= 0)
        return {};
    amplitude = std::clamp(amplitude, 0.0, 1.0);
    // At most a quarter of the tone fades at each end.
    const int fade = std::min(sineToneFrames(kFadeMs, sampleRate), frames / 4);
    QByteArray out(qsizetype(frames) * channels * 2, Qt::Uninitialized);
    auto* dst = reinterpret_cast<uchar*>(out.data());
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    for (int i = 0; i < frames; ++i) {
        double gain = amplitude;
        if (fade > 0) {
            const int edge = std::min(i, frames - 1 - i);
            if (edge < fade)
                gain *= double(edge) / fade;
        }
        const auto sample = qint16(std::lround(std::sin(step * i) * gain * 32767.0));
        for (int c = 0; c < channels; ++c, dst += 2)
            qToLittleEndian<qint16>(sample, dst);
    }
    return out;
}
