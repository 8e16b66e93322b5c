// Runs a function on a buffer of exactly `capacity` bytes followed by guard
// bytes, checks that the guards are untouched, and returns the terminated
// text at the start of the buffer ("" for a zero capacity).
#pragma once

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

template <typename F>
std::string guarded(std::size_t capacity, F &&fill)
{
    constexpr std::size_t guard = 4;
    std::vector<char> bytes(capacity + guard, '#');
    fill(std::span(bytes).first(capacity));
    EXPECT_EQ(std::string(bytes.end() - guard, bytes.end()), "####") << "wrote past capacity " << capacity;
    return {bytes.data(), ::strnlen(bytes.data(), capacity)};
}
