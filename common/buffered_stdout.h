// The buffered standard output of hexcycle, quadhex, hexnum and trickle.
#pragma once

// Holds what is printed as the C library's stream would (until
// flush_stdout, or to the end of each line on a terminal), but waits on a
// full non-blocking output rather than dropping what it holds. A text
// printed at once is cut short at 2047 to 4095 bytes, however much room is
// left: several times the longest line those programs print.
[[gnu::format(printf, 1, 2)]] void print_stdout(const char *format, ...);

// Writes what print_stdout holds; a program calls it before it exits.
void flush_stdout();
