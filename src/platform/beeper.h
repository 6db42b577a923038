#pragma once

// Plays a short tone. The engine only decides when to beep; the sound itself is
// the widget layer's (a tone device where one exists), and tests record calls.
class Beeper {
public:
    virtual ~Beeper() = default;

    virtual void beep(int frequencyHz, int durationMs) = 0;
};
