#pragma once

#include "calculator/rpl_object.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// A library object (prolog 02B40) taken apart, and put together again the way HP's MAKEROM
// lays it out:
//   size (5), title length (2), title, title length again (2, left out for an empty title),
//   library number (3), four offsets (5 each, relative to their own field, 0 when absent) to
//   the hash table, the message table, the link table and the configuration object;
//   the hash table: a binary integer of 16 offsets by name length (1-16, longer names share
//   the 16th), the offset to the end of the names, the names [length (2), characters, command
//   number (3)] grouped by length and, within a group, sorted by their bytes from the last one
//   back, then one backward offset per named command, in command-number order, to its name;
//   the link table: a binary integer of one offset per command in command-number order;
//   the commands, each visible one preceded by the library number (3) and its command number
//   (3); the message table; the configuration object; the CRC (4).
// Named commands are numbered first (0 .. named-1), the hidden ones after them.

struct LibraryCommand {
    std::uint32_t number = 0;
    std::string name; // in the calculator's characters; empty for a hidden command
    RplObject object;

    bool operator==(const LibraryCommand&) const = default;
};

struct LibraryParts {
    std::string title;
    std::uint32_t romId = 0;
    std::optional<RplObject> message; // an array of strings
    std::optional<RplObject> config;  // a program run when the library is attached
    std::vector<LibraryCommand> commands; // in the order they lie in the library

    bool operator==(const LibraryParts&) const = default;
};

struct LibraryRead {
    bool ok = false;
    LibraryParts parts;
    bool crcValid = false;  // the stored CRC matches the nibbles
    std::size_t offset = 0; // when not ok: the nibble in the object where the fault lies
    std::string message;
};

// The parts of a library object; a fault names the nibble (from the prolog) where it lies.
LibraryRead readLibrary(const RplObject& library);

struct LibraryBuild {
    bool ok = false;
    RplObject library;
    std::string message;
};

// The library object for the parts: command numbers must be 0 .. count-1, each once, the named
// commands numbered before the hidden ones, names 1-255 characters and distinct, the title at
// most 255 characters and the library number below 0x1000.
LibraryBuild buildLibrary(const LibraryParts& parts);

// The library CRC over nibbles [from, to): crc = (crc >> 4) ^ (((crc ^ n) & 0xF) * 0x1081).
std::uint16_t libraryCrc(const Nibbles& nibbles, std::size_t from, std::size_t to);

} // namespace scrivlet
