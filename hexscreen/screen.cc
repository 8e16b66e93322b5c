#include "screen.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace hexscreen {

namespace {

// A text in a fixed buffer that drops whatever does not fit and always
// keeps room for its terminator.
template <std::size_t N>
struct bounded_text {
    std::array<char, N> bytes{};
    std::size_t len = 0;

    void clear() { len = 0; bytes[0] = '\0'; }
    void append(std::string_view s)
    {
        const std::size_t n = std::min(s.size(), N - 1 - len);
        std::memcpy(bytes.data() + len, s.data(), n);
        len += n;
        bytes[len] = '\0';
    }
    void drop_last() { bytes[--len] = '\0'; }
    std::string_view view() const { return {bytes.data(), len}; }
};

bounded_text<10240> result;

using group_text = bounded_text<1024>;

void flush(group_text &group, int &count)
{
    result.append(is_blocked(group.view()) ? "[BLOCKED]" : group.view());
    result.append("\n");
    group.clear();
    count = 0;
}

bool is_newline_pair(std::string_view token)
{
    return token.size() == 2 && token[0] == '0' && (token[1] | 0x20) == 'a';
}

constexpr std::string_view delimiters = " \t\r\n";

std::string_view up_to_nul(std::string_view text)
{
    return {text.begin(), std::find(text.begin(), text.end(), '\0')};
}

}  // namespace

int is_blocked(std::string_view group)
{
    for (std::string_view pattern : blocked_hex_patterns)
        if (group.find(pattern) != std::string_view::npos)
            return 1;
    return 0;
}

std::string_view is_blocked_hex(std::string_view hex_text)
{
    hex_text = up_to_nul(hex_text);  // the report is a C string
    result.clear();
    group_text group;
    int count = 0;
    std::size_t pos = 0;
    while ((pos = hex_text.find_first_not_of(delimiters, pos)) != std::string_view::npos) {
        const std::size_t end = std::min(hex_text.find_first_of(delimiters, pos), hex_text.size());
        const std::string_view token{hex_text.data() + pos, end - pos};
        pos = end;

        group.append(token);
        group.append(" ");
        ++count;
        if (count > 15)
            flush(group, count);
        // The newline pair ends its group even right after a 16-pair flush,
        // which then reports the empty group as an empty line.
        if (is_newline_pair(token)) {
            if (group.view().ends_with(' '))
                group.drop_last();
            flush(group, count);
        }
    }
    if (group.len != 0)
        flush(group, count);
    return result.view();
}

heap_text mask_hex_patterns(std::string_view text,
                            std::span<const std::string_view> patterns,
                            std::span<const std::string_view> replacements)
{
    text = up_to_nul(text);  // the copy is a C string
    std::size_t len = text.size();
    std::size_t capacity = len + 1;
    heap_text masked{static_cast<char *>(std::malloc(capacity))};
    if (!masked)
        return masked;
    std::memcpy(masked.get(), text.data(), len);
    masked.get()[len] = '\0';

    const std::size_t count = std::min(patterns.size(), replacements.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view pattern = up_to_nul(patterns[i]);
        const std::string_view replacement = up_to_nul(replacements[i]);
        if (pattern.empty())
            continue;  // would match everywhere and never end
        std::size_t pos = 0;
        while ((pos = std::string_view{masked.get(), len}.find(pattern, pos)) != std::string_view::npos) {
            const std::size_t new_len = len - pattern.size() + replacement.size();
            if (new_len + 1 > capacity) {
                // Only a replacement longer than its pattern gets here.
                const std::size_t grown = std::max(new_len + 1, 2 * capacity);
                char *bigger = static_cast<char *>(std::realloc(masked.get(), grown));
                if (bigger == nullptr)
                    return heap_text{};
                (void)masked.release();
                masked.reset(bigger);
                capacity = grown;
            }
            char *at = masked.get() + pos;
            std::memmove(at + replacement.size(), at + pattern.size(), len - pos - pattern.size() + 1);
            std::memcpy(at, replacement.data(), replacement.size());
            len = new_len;
            pos += replacement.size();
        }
    }
    return masked;
}

}  // namespace hexscreen
