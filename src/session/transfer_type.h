#pragma once

// The TYPE the session asks for after login. A site stores it as a byte; a
// value the program does not know asks for none, as Default does.
enum class TransferType {
    Default = 0,  // no TYPE command: the server's own
    Binary = 1,   // TYPE I
    Ascii = 2,    // TYPE A
};
