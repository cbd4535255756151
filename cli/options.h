// SPDX-License-Identifier: GPL-2.0-or-later
// The command line of calvex-convert.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace calvex::cli {

using Settings = std::vector<std::pair<std::string, std::string>>;

struct Options {
    enum class Action { Convert, List, Help, Version };
    enum class Progress { Human, Machine, Quiet };
    Action action = Action::Convert;
    std::string videoEncoder = "mpeg4"; // listed or short name
    std::string audioEncoder;           // given: the audio is re-encoded with it
    bool keepAudio = true;
    Settings videoSettings; // --video-option KEY=VALUE, in order
    Settings audioSettings;
    std::string preset; // the video encoder's preset; empty: its own default
    Progress progress = Progress::Human;
    std::string source; // the one-file form: SOURCE OUTPUT
    std::string output;
    std::string outputDir;            // the batch form: --output-dir DIR SOURCE...
    std::vector<std::string> sources; // the batch's sources, in the order given
    bool stopOnError = false;         // a batch ends at its first failure

    bool IsBatch() const { return !outputDir.empty(); }
};

// The parsed options, or an error text for the user.
struct ParseResult {
    std::optional<Options> options;
    std::string error;
};

ParseResult ParseOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

} // namespace calvex::cli
