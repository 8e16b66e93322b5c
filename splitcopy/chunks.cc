#include "chunks.h"

#include <algorithm>
#include <cstring>

void addChunks(std::span<char> destination, std::span<const char> source,
               int piece_size, int total)
{
    if (destination.empty())
        return;
    if (piece_size <= 0 || total < 0)
        total = 0;
    const std::size_t limit = std::min({static_cast<std::size_t>(total), source.size(),
                                        destination.size() - 1});
    const auto piece = static_cast<std::size_t>(std::max(piece_size, 1));
    std::size_t copied = 0;
    while (copied < limit) {
        const std::size_t length = std::min(piece, limit - copied);
        std::memcpy(destination.data() + copied, source.data() + copied, length);
        copied += length;
    }
    destination[copied] = '\0';
}
