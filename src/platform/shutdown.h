#pragma once

// Turns the machine off after the transfers, when the user asked for it.
class SystemShutdown {
public:
    virtual ~SystemShutdown() = default;

    // Asks for the power-off; false when it was refused or could not be asked.
    // Failures are not reported to the user: the program simply keeps running.
    virtual bool powerOff() = 0;
};

// The real one: logind's Manager.PowerOff on the system bus, without an
// interactive authorisation prompt (nobody may be at the screen).
class LogindShutdown : public SystemShutdown {
public:
    bool powerOff() override;
};
