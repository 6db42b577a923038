#include "remote/transfer_rate.h"

void TransferRate::start(qint64 nowMs, qint64 position) {
    samples_.clear();
    samples_.push_back({nowMs, position});
}

void TransferRate::note(qint64 nowMs, qint64 position) {
    if (samples_.empty() || nowMs - samples_.back().ms >= kSampleMs)
        samples_.push_back({nowMs, position});
    while (samples_.size() >= 2 && samples_[1].ms <= nowMs - kWindowMs)
        samples_.pop_front();
}

qint64 TransferRate::bytesPerSecond(qint64 nowMs, qint64 position) const {
    const qint64 span = nowMs - fromMs();
    if (samples_.empty() || span <= 0)
        return 0;
    return qMax<qint64>(0, position - fromPosition()) * 1000 / span;
}
