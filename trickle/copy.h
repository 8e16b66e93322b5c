// The slow sentence copy of trickle.
#pragma once

#include <array>

// Length of the starter, as charlink measured it.
extern int howlong_ofdubplicate;
// Receives the copy of the sentence.
extern std::array<char, 100> collection;

// Measures the starter and has underline copy that many characters.
void charlink(const char *starter);

// Copies the first howlong_ofdubplicate characters of the fixed sentence
// (all 70 at most) into collection, pausing 200 microseconds after each,
// and terminates the copy at that length, or at the buffer's last byte
// when the length reaches past it.
void underline(const char *starter);
