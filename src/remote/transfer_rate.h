#pragma once

#include <QtGlobal>

#include <deque>

// The speed of a transfer over its last few seconds: when the link slows down
// or stops, the figure says so now instead of fading into the average.
class TransferRate {
public:
    static constexpr qint64 kWindowMs = 5000;
    // Samples closer together than this are one.
    static constexpr qint64 kSampleMs = 250;

    void start(qint64 nowMs, qint64 position);
    // A look at the transfer; the first one starts it.
    void note(qint64 nowMs, qint64 position);
    // Where the speed is measured from: the last sample at least a window old,
    // or the start while the transfer is younger.
    qint64 fromMs() const { return samples_.empty() ? 0 : samples_.front().ms; }
    qint64 fromPosition() const { return samples_.empty() ? 0 : samples_.front().position; }
    qint64 bytesPerSecond(qint64 nowMs, qint64 position) const;

private:
    struct Sample {
        qint64 ms;
        qint64 position;
    };
    std::deque<Sample> samples_;
};
