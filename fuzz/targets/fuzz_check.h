#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A broken invariant stops the run where it happened: libFuzzer keeps the
// input, and the regression test dies with it.
#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, \
                         #condition);                                                   \
            __builtin_trap();                                                           \
        }                                                                               \
    } while (0)

// Reads small numbers from the front of an input and hands out the rest.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t remaining() const { return size_ - position_; }
    uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    // Low byte first; two statements, since the order of calls within one
    // expression is up to the compiler.
    uint16_t word() {
        const uint16_t low = byte();
        return uint16_t(low | (byte() << 8));
    }
    QByteArray take(size_t n) {
        n = n < remaining() ? n : remaining();
        QByteArray out(reinterpret_cast<const char*>(data_ + position_), qsizetype(n));
        position_ += n;
        return out;
    }
    QByteArray rest() { return take(remaining()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
