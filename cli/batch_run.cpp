// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/batch_run.h"

#include <chrono>
#include <filesystem>

#include "cli/batch_clock.h"
#include "cli/batch_summary.h"
#include "cli/converter.h"

namespace calvex::cli {

namespace {

using SteadyClock = std::chrono::steady_clock;
using Result = FileReport::Result;

double SecondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

std::vector<SourceWork> SourcesWork(media::IMediaEngine& engine, const BatchPlan& plan)
{
    std::vector<SourceWork> work;
    for (const BatchFile& file : plan.files) {
        const media::IMediaEngine::SourceMeasure measure = engine.MeasureSource(file.source);
        work.push_back({measure.opened, static_cast<double>(measure.lengthHns) / 1e7,
                        measure.pixelsPerSecond});
    }
    return work;
}

job::ConversionSettings SettingsOf(const BatchFile& file, const Options& options)
{
    job::ConversionSettings settings;
    settings.m_strSourceFile = file.source;
    settings.m_strOutputFile = file.output;
    settings.m_bKeepAudio = options.keepAudio ? 1 : 0;
    return settings;
}

// How the job the front end watched ended.
void TakeResult(const TerminalFrontEnd& frontEnd, FileReport& report)
{
    const std::optional<job::JobOutcome> outcome = frontEnd.Outcome();
    if (!outcome) {
        report.result = Result::Refused;
        report.reason = frontEnd.LastMessage();
    } else if (outcome->Completed()) {
        report.result = Result::Completed;
    } else {
        report.result = outcome->stopRequested ? Result::Aborted : Result::Failed;
        report.reason = outcome->reason;
    }
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(report.output, error);
    report.outputSize = error ? 0 : size;
}

class Batch {
public:
    Batch(media::IMediaEngine& engine, const Options& options, const BatchPlan& plan,
          const Terminal& terminal)
        : m_options(options), m_plan(plan), m_clock(SourcesWork(engine, plan)),
          m_frontEnd({}, options.progress, terminal.out, terminal.err, terminal.errIsTerminal),
          m_converter(engine, m_frontEnd, m_slots)
    {
        for (const BatchFile& file : plan.files) {
            FileReport& report = m_reports.emplace_back();
            report.source = file.source;
            report.output = file.output;
        }
    }

    // Runs the files in turn; false when the encoders cannot be set up.
    bool Run(const std::atomic<int>& stopSignal, std::string& error)
    {
        for (size_t index = 0; index < m_reports.size(); ++index) {
            if (stopSignal.load() != 0)
                break;
            // A job ends with fresh encoders: each file gets the options' settings again.
            if (!m_converter.SelectEncoders(m_options, error))
                return false;
            Convert(index, stopSignal);
            if (m_options.stopOnError && m_reports[index].result != Result::Completed)
                break;
        }
        return true;
    }

    const std::vector<FileReport>& Reports() const { return m_reports; }
    double Seconds() const { return SecondsSince(m_started); }

private:
    void Convert(size_t index, const std::atomic<int>& stopSignal)
    {
        const SteadyClock::time_point started = SteadyClock::now();
        m_frontEnd.StartFile(
            SettingsOf(m_plan.files[index], m_options),
            {m_plan.files[index].source, index, m_plan.files.size(), &m_clock, m_started});
        m_converter.Run(stopSignal);
        FileReport& report = m_reports[index];
        TakeResult(m_frontEnd, report);
        report.seconds = SecondsSince(started);
        m_clock.EndFile(index, m_frontEnd.ConvertedSeconds());
    }

    const Options& m_options;
    const BatchPlan& m_plan;
    const SteadyClock::time_point m_started = SteadyClock::now();
    BatchClock m_clock;
    TerminalFrontEnd m_frontEnd;
    job::JobSlots m_slots;
    Converter m_converter;
    std::vector<FileReport> m_reports;
};

int ExitStatus(const std::vector<FileReport>& reports, int stopSignal)
{
    for (const FileReport& report : reports) {
        if (report.result != Result::Completed)
            return stopSignal != 0 ? 128 + stopSignal : 1;
    }
    return 0; // also when a signal came as the last file was done anyway
}

} // namespace

int RunBatch(media::IMediaEngine& engine, const Options& options, const BatchPlan& plan,
             const std::atomic<int>& stopSignal, const Terminal& terminal)
{
    Batch batch(engine, options, plan, terminal);
    std::string error;
    if (!batch.Run(stopSignal, error)) {
        std::fprintf(terminal.err, "calvex-convert: %s\n", error.c_str());
        return 2;
    }
    const int status = ExitStatus(batch.Reports(), stopSignal.load());
    if (options.progress != Options::Progress::Quiet || status != 0)
        std::fputs(BatchSummary(batch.Reports(), batch.Seconds()).c_str(), terminal.err);
    return status;
}

} // namespace calvex::cli
