#include "platform/sine_tone.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstdlib>
#include <vector>

namespace {

std::vector<int> samplesOf(const QByteArray& pcm, int channels, int channel) {
    std::vector<int> out;
    const auto* p = reinterpret_cast<const uchar*>(pcm.constData());
    for (qsizetype i = qsizetype(channel) * 2; i + 1 < pcm.size(); i += qsizetype(channels) * 2)
        out.push_back(qFromLittleEndian<qint16>(p + i));
    return out;
}

// Sign changes between non-zero samples: two per period of the tone.
int crossings(const std::vector<int>& s) {
    int count = 0;
    int last = 0;
    for (int v : s) {
        if (v == 0)
            continue;
        if (last != 0 && (v > 0) != (last > 0))
            ++count;
        last = v;
    }
    return count;
}

struct ToneCase {
    int frequency;
    int ms;
    int rate;
    int channels;
};

class SineTone : public testing::TestWithParam<ToneCase> {};

TEST_P(SineTone, HasTheLengthPitchAndSilentEdgesAsked) {
    const ToneCase c = GetParam();
    const QByteArray pcm = sineTone(c.frequency, c.ms, c.rate, c.channels, 0.5);
    const int frames = c.rate * c.ms / 1000;
    ASSERT_EQ(pcm.size(), qsizetype(frames) * 2 * c.channels);

    const std::vector<int> left = samplesOf(pcm, c.channels, 0);
    for (int ch = 1; ch < c.channels; ++ch)
        EXPECT_EQ(samplesOf(pcm, c.channels, ch), left) << "channel " << ch;

    const double expected = 2.0 * c.frequency * c.ms / 1000.0;
    EXPECT_NEAR(crossings(left), expected, 2.0);

    // Faded edges: no jump from silence at either end.
    EXPECT_EQ(left.front(), 0);
    EXPECT_LT(std::abs(left.back()), 200);
    int peak = 0;
    for (int v : left)
        peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 14000);  // about half of full scale in the middle
    EXPECT_LE(peak, 16384);
}

INSTANTIATE_TEST_SUITE_P(Tones, SineTone,
                         testing::Values(ToneCase{1000, 10, 48000, 1},  // the completion beep
                                         ToneCase{1000, 20, 44100, 1},  // the options' Test
                                         ToneCase{50, 200, 48000, 1},   // lowest frequency
                                         ToneCase{10000, 10, 48000, 1},
                                         ToneCase{440, 100, 22050, 2}));

TEST(SineTone, NothingForNonsense) {
    EXPECT_TRUE(sineTone(0, 10, 48000).isEmpty());
    EXPECT_TRUE(sineTone(1000, 0, 48000).isEmpty());
    EXPECT_TRUE(sineTone(1000, 10, 0).isEmpty());
    EXPECT_TRUE(sineTone(1000, 10, 48000, 0).isEmpty());
    EXPECT_TRUE(sineTone(-5, 10, 48000).isEmpty());
}

}  // namespace
