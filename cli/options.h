// The command line of calvex-convert.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace calvex::cli {

struct Options {
    enum class Action { Convert, List, Help };
    Action action = Action::Convert;
    std::string videoEncoder; // friendly or short name; empty: the first listed
    std::string audioEncoder; // given: the audio is re-encoded with it
    bool keepAudio = true;
    std::string source;
    std::string output;
};

// The parsed options, or an error text for the user.
struct ParseResult {
    std::optional<Options> options;
    std::string error;
};

ParseResult ParseOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

} // namespace calvex::cli
