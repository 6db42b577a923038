#pragma once

#include <QByteArray>

// Signed 16-bit little-endian PCM of a sine tone, the same sample in every
// channel. The first and last milliseconds fade in and out so that even a
// 10 ms beep starts and ends at silence instead of clicking.
// Empty for a non-positive frequency, duration, rate or channel count.
QByteArray sineTone(int frequencyHz, int durationMs, int sampleRate, int channels = 1,
                    double amplitude = 0.5);

// Samples (per channel) a tone of that length holds.
int sineToneFrames(int durationMs, int sampleRate);
