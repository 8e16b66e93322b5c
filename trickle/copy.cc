#include "copy.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unistd.h>

int howlong_ofdubplicate;
std::array<char, 100> collection;

void charlink(const char *starter)
{
    howlong_ofdubplicate = static_cast<int>(std::strlen(starter));
    underline(starter);
}

void underline(const char * /* starter: only its length steers the copy */)
{
    constexpr std::string_view sentence =
        "How long the river is,I am not human for sure, everyday life question.";
    std::array<char, sentence.size()> local;
    std::memcpy(local.data(), sentence.data(), local.size());

    const auto length = static_cast<std::size_t>(std::max(howlong_ofdubplicate, 0));
    for (std::size_t i = 0; i < length && i < local.size(); ++i) {
        collection[i] = local[i];
        ::usleep(200);  // the pause is the point of this copy
    }
    collection[std::min(length, collection.size() - 1)] = '\0';
}
