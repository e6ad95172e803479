#pragma once

#include <optional>
#include <string>

namespace scrivlet {

// What a step of an import or a learning run gives: its value, or the text that stops the run
// before anything is written, naming the file and the reason.
template <class T> struct RunResult {
    std::optional<T> value;
    std::string error; // when there is no value

    bool ok() const { return value.has_value(); }
    static RunResult failure(std::string error) { return {std::nullopt, std::move(error)}; }
};

// The bytes of a table or source file, unchanged, or why they cannot be read (see readWholeFile).
RunResult<std::string> readInputFile(const std::string& path);

} // namespace scrivlet
