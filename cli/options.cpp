#include "cli/options.h"

namespace calvex::cli {

const char* const kUsage =
    "Usage: calvex-convert [--video NAME] [--audio NAME | --keep-audio] SOURCE OUTPUT\n"
    "       calvex-convert --list\n"
    "       calvex-convert --help\n"
    "\n"
    "Recompresses SOURCE into the AVI file OUTPUT.\n"
    "  --video NAME   video encoder, by its listed name or short name (e.g. mpeg4)\n"
    "  --audio NAME   re-encode the audio with this encoder (e.g. libmp3lame)\n"
    "  --keep-audio   copy the audio stream unchanged (the default)\n"
    "  --list         list the video and audio encoders\n"
    "  --help         show this text\n"
    "Without --video the first listed video encoder is used. Ctrl-C aborts the\n"
    "conversion; what was converted so far stays a playable AVI.\n";

namespace {

ParseResult Error(std::string text)
{
    return {std::nullopt, std::move(text)};
}

} // namespace

ParseResult ParseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    std::vector<std::string> paths;
    bool keepAudioGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            options.action = Options::Action::Help;
        } else if (argument == "--list") {
            options.action = Options::Action::List;
        } else if (argument == "--keep-audio") {
            keepAudioGiven = true;
        } else if (argument == "--video" || argument == "--audio") {
            if (!hasValue)
                return Error(argument + " needs an encoder name");
            (argument == "--video" ? options.videoEncoder : options.audioEncoder) = arguments[++i];
        } else if (argument == "--") {
            paths.insert(paths.end(), arguments.begin() + i + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return Error("unknown option " + argument);
        } else {
            paths.push_back(argument);
        }
    }
    if (options.action != Options::Action::Convert)
        return {options, {}};
    if (keepAudioGiven && !options.audioEncoder.empty())
        return Error("--audio and --keep-audio exclude each other");
    options.keepAudio = options.audioEncoder.empty();
    if (paths.size() != 2)
        return Error("give one SOURCE and one OUTPUT file");
    options.source = paths[0];
    options.output = paths[1];
    return {options, {}};
}

} // namespace calvex::cli
