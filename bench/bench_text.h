#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace scrivlet::bench {

// An RPL-like text of `size` bytes: lines of 60 bytes with CR LF line ends, and exactly
// `occurrences` bytes 'a' spread at random (the same text for the same arguments).
inline std::string makeText(std::size_t size, std::size_t occurrences)
{
    static const std::string kOther =
        "BCDEFGHIJKLMNOPQRSTUVWXYZbcdefghijklmnopqrstuvwxyz0123456789 :;#@<>{}";
    std::mt19937_64 rng(size ^ occurrences);
    std::string text(size, ' ');
    std::uniform_int_distribution<std::size_t> letter(0, kOther.size() - 1);
    for (std::size_t i = 0; i < size; ++i)
        text[i] = kOther[letter(rng)];
    for (std::size_t i = 60; i + 1 < size; i += 62) {
        text[i] = '\r';
        text[i + 1] = '\n';
    }
    std::uniform_int_distribution<std::size_t> place(0, size - 1);
    for (std::size_t placed = 0; placed < occurrences;) {
        char& c = text[place(rng)];
        if (c != 'a' && c != '\r' && c != '\n') {
            c = 'a';
            ++placed;
        }
    }
    return text;
}

} // namespace scrivlet::bench
