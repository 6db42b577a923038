#pragma once

#include "platform/beeper.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <QMediaDevices>
#include <QObject>
#include <QTimer>

#include <memory>

class QAudioSink;

// The program's beep: a sine tone of the asked frequency on the default audio
// output, or the desktop's bell when there is no output. Playing never waits;
// a beep that comes while another sounds replaces it.
class ToneBeeper : public QObject, public Beeper {
    Q_OBJECT
public:
    explicit ToneBeeper(QObject* parent = nullptr);
    ~ToneBeeper() override;

    void beep(int frequencyHz, int durationMs) override;

    // Whether the last beep went to an audio output (false: the bell).
    bool lastBeepWasTone() const { return lastWasTone_; }

signals:
    // A tone has played out; how much of it the output took, in microseconds.
    void toneEnded(qint64 playedUs);

private:
    // The sink for the current default output; null when there is none or it
    // takes no 16-bit PCM.
    QAudioSink* sink();
    void dropSink();
    void finish();

    QMediaDevices devices_;
    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QBuffer buffer_;
    QTimer finish_;
    bool lastWasTone_ = false;
};
