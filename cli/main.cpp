// SPDX-License-Identifier: GPL-2.0-or-later
// calvex-convert: the converter without a window, for scripts.
#include <cstdio>
#include <unistd.h>

#include "cli/batch_run.h"
#include "cli/converter.h"
#include "cli/stop_signals.h"
#include "media/ffmpeg/ffmpeg_engine.h"
#include "res/strings.h"

namespace {

// The exit status of wrong usage.
constexpr int kUsageError = 2;

calvex::job::ConversionSettings SettingsOf(const calvex::cli::Options& options)
{
    calvex::job::ConversionSettings settings;
    settings.m_strSourceFile = options.source;
    settings.m_strOutputFile = options.output;
    settings.m_bKeepAudio = options.keepAudio ? 1 : 0;
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace calvex::cli;
    // First thing: Ctrl-C, SIGTERM or SIGHUP from here on abort the job cleanly.
    InstallStopSignalHandlers();
    const ParseResult parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "calvex-convert: %s\n\n%s", parsed.error.c_str(), kUsage);
        return kUsageError;
    }
    const Options& options = *parsed.options;
    if (options.action == Options::Action::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.action == Options::Action::Version) {
        std::printf("calvex-convert %s\n", calvex::strings::kVersion);
        return 0;
    }
    calvex::media::StartMediaEngine();
    const auto engine = calvex::media::CreateFfmpegEngine();
    if (options.action == Options::Action::List) {
        PrintCatalogue(*engine, stdout);
        return 0;
    }

    const Terminal terminal{stdout, stderr, isatty(STDERR_FILENO) == 1};
    if (options.IsBatch()) {
        const BatchPlan plan = PlanBatch(options.sources, options.outputDir);
        if (!plan.error.empty()) {
            std::fprintf(stderr, "calvex-convert: %s; nothing converted\n", plan.error.c_str());
            return 1;
        }
        return RunBatch(*engine, options, plan, ReceivedStopSignal(), terminal);
    }
    TerminalFrontEnd frontEnd(SettingsOf(options), options.progress, terminal.out, terminal.err,
                              terminal.errIsTerminal);
    calvex::job::JobSlots slots;
    Converter converter(*engine, frontEnd, slots);
    std::string error;
    if (!converter.SelectEncoders(options, error)) {
        std::fprintf(stderr, "calvex-convert: %s\n", error.c_str());
        return kUsageError;
    }
    return converter.Run(ReceivedStopSignal());
}
