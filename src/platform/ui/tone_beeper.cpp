#include "platform/ui/tone_beeper.h"

#include "platform/sine_tone.h"

#include <QApplication>
#include <QAudioSink>

#include <algorithm>

namespace {

// Mono first; some outputs only take two channels.
QAudioFormat pickFormat(const QAudioDevice& device) {
    const QAudioFormat preferred = device.preferredFormat();
    for (int rate : {preferred.sampleRate(), 48000, 44100}) {
        for (int channels : {1, 2}) {
            QAudioFormat f;
            f.setSampleRate(rate);
            f.setChannelCount(channels);
            f.setSampleFormat(QAudioFormat::Int16);
            if (rate > 0 && device.isFormatSupported(f))
                return f;
        }
    }
    return {};
}

}  // namespace

ToneBeeper::ToneBeeper(QObject* parent) : QObject(parent) {
    finish_.setSingleShot(true);
    connect(&finish_, &QTimer::timeout, this, &ToneBeeper::finish);
    // A new default output (headphones plugged in) gets a new sink.
    connect(&devices_, &QMediaDevices::audioOutputsChanged, this, &ToneBeeper::dropSink);
}

ToneBeeper::~ToneBeeper() {
    if (sink_)
        sink_->stop();
}

void ToneBeeper::dropSink() {
    finish_.stop();
    if (sink_)
        sink_->stop();
    sink_.reset();
    device_ = QAudioDevice();
}

void ToneBeeper::finish() {
    if (!sink_)
        return;
    const qint64 played = sink_->processedUSecs();
    sink_->stop();
    emit toneEnded(played);
}

QAudioSink* ToneBeeper::sink() {
    const QAudioDevice current = QMediaDevices::defaultAudioOutput();
    if (current.isNull()) {
        dropSink();
        return nullptr;
    }
    if (sink_ && current == device_)
        return sink_.get();
    dropSink();
    format_ = pickFormat(current);
    if (!format_.isValid())
        return nullptr;
    device_ = current;
    sink_ = std::make_unique<QAudioSink>(device_, format_);
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        // Idle means the output has taken the last bytes, not that they have
        // sounded: the stream is closed once its buffer has had time to play.
        if (state != QAudio::IdleState || !sink_)
            return;
        const qint64 bufferedMs = format_.durationForBytes(sink_->bufferSize()) / 1000;
        finish_.start(int(std::clamp<qint64>(bufferedMs + 50, 50, 2000)));
    });
    return sink_.get();
}

void ToneBeeper::beep(int frequencyHz, int durationMs) {
    QAudioSink* out = sink();
    const QByteArray pcm =
        out ? sineTone(frequencyHz, durationMs, format_.sampleRate(), format_.channelCount())
            : QByteArray();
    if (pcm.isEmpty()) {
        lastWasTone_ = false;
        QApplication::beep();
        return;
    }
    // Restart: the newest beep wins over one still sounding.
    finish_.stop();
    out->stop();
    buffer_.close();
    buffer_.setData(pcm);
    buffer_.open(QIODevice::ReadOnly);
    out->start(&buffer_);
    lastWasTone_ = out->error() == QAudio::NoError;
    if (!lastWasTone_) {
        out->stop();
        QApplication::beep();
    }
}
