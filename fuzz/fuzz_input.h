// A fuzz target's input, read front to back into values; past its end every byte reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool Done() const { return p_ == end_; }
    // Byte by byte: g++ 12 at -O2 drops the zeroing of a one-byte value before a copy of 0 or 1
    // bytes into it, which then holds the stack's leftovers.
    uint8_t U8() { return p_ == end_ ? 0 : *p_++; }
    template <class T>
    T Raw() {
        uint8_t bytes[sizeof(T)];
        for (uint8_t& b : bytes) b = U8();
        T v;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }
    int32_t I32() { return Raw<int32_t>(); }
    // A finite value from tiny to large, as callers pass them.
    double Real() { return Raw<int32_t>() / 4096.0; }
    // The bytes not read yet, all taken.
    std::string_view Rest() {
        const std::string_view rest(reinterpret_cast<const char*>(p_), static_cast<size_t>(end_ - p_));
        p_ = end_;
        return rest;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};
