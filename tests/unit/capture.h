// Runs a function with descriptor 1 pointed at a temporary file and returns
// what reached it, through the buffered output or through opens by path.
// The direct writers learn afresh what descriptor 1 is, before and after.
#pragma once

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "buffered_stdout.h"
#include "standard_streams.h"

template <typename F>
std::string captured_stdout(F &&run)
{
    std::fflush(stdout);
    FILE *file = std::tmpfile();
    const int saved = ::dup(1);
    ::dup2(::fileno(file), 1);
    forget_stdout();
    run();
    flush_stdout();
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(saved);
    forget_stdout();

    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}
