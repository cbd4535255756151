// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/options.h"

#include <cmath>
#include <stdexcept>

namespace calvex::cli {

const char* const kUsage =
    "Usage: calvex-convert [OPTION]... SOURCE OUTPUT\n"
    "       calvex-convert [OPTION]... --output-dir DIR SOURCE...\n"
    "       calvex-convert --list | --help | --version\n"
    "\n"
    "Recompresses the video file SOURCE into the AVI file OUTPUT. An existing\n"
    "OUTPUT is replaced; SOURCE is never written. With --output-dir, each SOURCE\n"
    "becomes DIR/NAME.avi (NAME: the source's name without its extension), one\n"
    "after the other with the same encoders and settings.\n"
    "\n"
    "Encoders:\n"
    "  --video NAME              video encoder, by its listed or short name\n"
    "                            (default: mpeg4, MPEG-4 part 2)\n"
    "  --audio NAME              re-encode the audio with this encoder (e.g. libmp3lame)\n"
    "  --keep-audio              copy the audio stream unchanged (the default)\n"
    "  --video-option KEY=VALUE  set one of the video encoder's settings, as its\n"
    "                            Properties sheet in the window does (repeatable)\n"
    "  --audio-option KEY=VALUE  the same for the audio encoder\n"
    "  --target-size SIZE        a file of this size (e.g. 700M, 25MB, 650MiB):\n"
    "                            the pictures coded in two passes at the bit rate\n"
    "                            that fills it (mpeg4, libxvid, libx264, MPEG-1/2)\n"
    "  --preset NAME             the video encoder's preset, where it has presets;\n"
    "                            standalone-player (mpeg4, libxvid): a file for\n"
    "                            standalone DivX/Xvid players (DVD players, TVs)\n"
    "\n"
    "Output:\n"
    "  --output-dir DIR          convert every SOURCE into DIR (a batch); a\n"
    "                            failed file is reported and the batch goes on\n"
    "  --stop-on-error           end a batch at its first failure\n"
    "  --quiet                   print nothing but errors\n"
    "  --progress=machine        print the progress on stdout as key=value lines\n"
    "                            (percent, out_time, speed, eta, progress), then\n"
    "                            outcome=completed|failed|aborted and reason=...;\n"
    "                            in a batch also file, index, count, batch_eta\n"
    "  --list                    list the video and audio encoders\n"
    "  --help                    show this text\n"
    "  --version                 show the version\n"
    "\n"
    "The progress (percent, time converted of the source's length, speed and\n"
    "time left) and the outcome go to stderr; stdout carries only what was\n"
    "asked for. Ctrl-C, SIGTERM (timeout, systemd, a container's stop) and\n"
    "SIGHUP (the terminal closed) abort the conversion: what was converted so\n"
    "far stays a playable AVI. A second such signal ends the program at once.\n"
    "Ctrl-C and SIGHUP stay ignored when they were ignored at the start (a\n"
    "shell's background job, nohup).\n"
    "\n"
    "A batch ends with a summary on stderr: each file's outcome, the reason of\n"
    "a failure, the output's size and the time taken, then the totals. A\n"
    "signal aborts the current file (its part stays playable) and skips the rest.\n"
    "\n"
    "Exit status: 0 the conversion (every file of a batch) completed; 1 it (any\n"
    "file) failed or was refused (the reason is on stderr); 2 wrong usage;\n"
    "128 + the signal's number when a signal aborted it: 130 Ctrl-C, 143\n"
    "SIGTERM, 129 SIGHUP.\n";

namespace {

ParseResult Error(std::string text)
{
    return {std::nullopt, std::move(text)};
}

// "KEY=VALUE" into its two parts; nothing when there is no key or no '='.
std::optional<std::pair<std::string, std::string>> Setting(const std::string& text)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    return std::pair{text.substr(0, equals), text.substr(equals + 1)};
}

// A size with an optional unit: k, M, G (powers of 1000) or KiB, MiB, GiB
// (powers of 1024), a trailing B allowed; nothing when it is none or not positive.
std::optional<long long> ParseSize(const std::string& text)
{
    static const std::vector<std::pair<std::string, double>> units = {
        {"KiB", 1024.0}, {"MiB", 1048576.0}, {"GiB", 1073741824.0},
        {"kB", 1e3},     {"KB", 1e3},        {"MB", 1e6},
        {"GB", 1e9},     {"k", 1e3},         {"K", 1e3},
        {"M", 1e6},      {"G", 1e9},         {"B", 1},
        {"", 1}};
    size_t used = 0;
    double number = 0;
    try {
        number = std::stod(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const std::string unit = text.substr(used);
    for (const auto& [name, scale] : units) {
        if (unit == name && number > 0 && std::isfinite(number * scale))
            return std::llround(number * scale);
    }
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    ParseResult Parse()
    {
        for (m_next = 0; m_next < m_arguments.size();) {
            const std::string argument = m_arguments[m_next++];
            if (argument == "--") {
                m_paths.insert(m_paths.end(), m_arguments.begin() + m_next, m_arguments.end());
                break;
            }
            if (std::string error = Take(argument); !error.empty())
                return Error(error);
        }
        return Finish();
    }

private:
    // One argument (and its value); an error text, or empty.
    std::string Take(const std::string& argument)
    {
        if (argument == "--help" || argument == "-h")
            m_options.action = Options::Action::Help;
        else if (argument == "--version")
            m_options.action = Options::Action::Version;
        else if (argument == "--list")
            m_options.action = Options::Action::List;
        else if (argument == "--keep-audio")
            m_keepAudioGiven = true;
        else if (argument == "--quiet" || argument == "-q")
            m_options.progress = Options::Progress::Quiet;
        else if (argument == "--progress=machine")
            m_options.progress = Options::Progress::Machine;
        else if (argument == "--stop-on-error")
            m_options.stopOnError = true;
        else if (argument == "--video" || argument == "--audio" || argument == "--preset" ||
                 argument == "--output-dir")
            return Value(argument, argument == "--video"    ? m_options.videoEncoder
                                   : argument == "--audio"  ? m_options.audioEncoder
                                   : argument == "--preset" ? m_options.preset
                                                            : m_options.outputDir);
        else if (argument == "--target-size")
            return TargetSize();
        else if (argument == "--video-option" || argument == "--audio-option")
            return SettingValue(argument, argument == "--video-option" ? m_options.videoSettings
                                                                       : m_options.audioSettings);
        else if (argument.size() > 1 && argument[0] == '-')
            return "unknown option " + argument;
        else
            m_paths.push_back(argument);
        return {};
    }

    std::string Value(const std::string& option, std::string& value)
    {
        if (m_next >= m_arguments.size() || m_arguments[m_next].empty())
            return option + " needs a name";
        value = m_arguments[m_next++];
        return {};
    }

    // "700M", "25MB", "1.4G", "650MiB": the video encoder's target size in bytes.
    std::string TargetSize()
    {
        const std::optional<long long> bytes =
            m_next < m_arguments.size() ? ParseSize(m_arguments[m_next]) : std::nullopt;
        if (!bytes)
            return "--target-size needs a size such as 700M or 25MB";
        ++m_next;
        m_options.videoSettings.emplace_back("targetsize", std::to_string(*bytes));
        return {};
    }

    std::string SettingValue(const std::string& option, Settings& settings)
    {
        const auto setting =
            m_next < m_arguments.size() ? Setting(m_arguments[m_next]) : std::nullopt;
        if (!setting)
            return option + " needs KEY=VALUE";
        ++m_next;
        settings.push_back(*setting);
        return {};
    }

    ParseResult Finish()
    {
        if (m_options.action != Options::Action::Convert)
            return {m_options, {}};
        if (m_keepAudioGiven && !m_options.audioEncoder.empty())
            return Error("--audio and --keep-audio exclude each other");
        m_options.keepAudio = m_options.audioEncoder.empty();
        if (m_options.keepAudio && !m_options.audioSettings.empty())
            return Error("--audio-option needs --audio: kept audio is not encoded");
        if (m_options.IsBatch()) {
            if (m_paths.empty())
                return Error("--output-dir needs at least one SOURCE");
            m_options.sources = m_paths;
            return {m_options, {}};
        }
        if (m_options.stopOnError)
            return Error("--stop-on-error is for a batch (--output-dir)");
        if (m_paths.size() != 2)
            return Error("give one SOURCE and one OUTPUT file, or --output-dir DIR SOURCE...");
        m_options.source = m_paths[0];
        m_options.output = m_paths[1];
        return {m_options, {}};
    }

    const std::vector<std::string>& m_arguments;
    size_t m_next = 0;
    Options m_options;
    std::vector<std::string> m_paths;
    bool m_keepAudioGiven = false;
};

} // namespace

ParseResult ParseOptions(const std::vector<std::string>& arguments)
{
    return Parser(arguments).Parse();
}

} // namespace calvex::cli
