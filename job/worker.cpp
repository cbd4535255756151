// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/worker.h"

#include "job/completion.h"
#include "res/strings.h"

namespace calvex::job {

namespace {

using media::StreamKind;

// Steps 2 to 5: builder, multiplexer, graph and source.
void BuildGraph(WorkerContext& context)
{
    JobSlots& slots = context.slots;
    slots.g_pCaptureBuilder.Set(context.engine.CreateCaptureGraphBuilder());
    const auto builder = slots.g_pCaptureBuilder.Get();
    if (!builder)
        return;
    slots.g_pMux.Set(builder->SetOutputFileName(context.settings.m_strOutputFile));
    slots.g_pGraph.Set(builder->GetFiltergraph());
    if (const auto graph = slots.g_pGraph.Get())
        slots.g_pSourceFilter.Set(
            graph->AddSourceFilter(context.settings.m_strSourceFile, "Source Filter"));
}

void RenderVideo(JobSlots& slots)
{
    const auto builder = slots.g_pCaptureBuilder.Get();
    const auto graph = slots.g_pGraph.Get();
    const auto compressor = slots.g_pVideoCompressor.Get();
    if (graph && compressor)
        graph->AddFilter(compressor, "Video Compressor");
    if (builder)
        builder->RenderStream(slots.g_pSourceFilter.Get(), compressor, slots.g_pMux.Get());
}

void RenderAudio(WorkerContext& context)
{
    JobSlots& slots = context.slots;
    const auto builder = slots.g_pCaptureBuilder.Get();
    const auto graph = slots.g_pGraph.Get();
    const auto source = slots.g_pSourceFilter.Get();
    if (context.settings.m_bKeepAudio == 1) {
        const bool rendered = builder && builder->RenderStream(source, nullptr, slots.g_pMux.Get());
        // A copy the AVI cannot take would silently lose the sound; a source
        // without audio is fine as it is.
        const bool hasAudio = source && source->CountStreams(StreamKind::Audio) > 0;
        if (!rendered && hasAudio)
            context.frontEnd.MessageBox(strings::kAudioRenderFailed);
        return;
    }
    const auto compressor = slots.g_pAudioCompressor.Get();
    if (!graph || !graph->AddFilter(compressor, "Audio Compressor"))
        context.frontEnd.MessageBox(strings::kAudioCompressorFailed);
    if (!builder || !builder->RenderStream(source, compressor, slots.g_pMux.Get()))
        context.frontEnd.MessageBox(strings::kAudioRenderFailed);
}

void QueryGraphInterfaces(JobSlots& slots)
{
    if (const auto graph = slots.g_pGraph.Get()) {
        slots.g_pMediaControl.Set(graph->QueryMediaControl());
        slots.g_pMediaEvent.Set(graph->QueryMediaEvent());
    }
    if (const auto mux = slots.g_pMux.Get())
        slots.g_pMediaSeeking.Set(mux->QueryMediaSeeking());
}

// Steps 13 to 15: run, then poll and report, or end without position.
void RunAndReport(WorkerContext& context)
{
    JobSlots& slots = context.slots;
    JobCompletion completion(context);
    const auto event = slots.g_pMediaEvent.Get();
    if (!event || !slots.RunGraphUnlessStopped()) {
        // Abort came before the graph could run: end as a stopped graph does.
        // Otherwise the graph could not be built or started.
        if (slots.IsStopRequested())
            completion.Finish(media::EC_NONE, {});
        else
            completion.Finish(media::EC_ERRORABORT, event ? event->GetEndReason() : std::string());
        return;
    }
    if (const auto seeking = slots.g_pMediaSeeking.Get())
        completion.PollAndFinish(*event, *seeking);
    else
        completion.WaitAndEnd(*event);
}

} // namespace

void RunConversion(WorkerContext& context)
{
    BuildGraph(context);
    RenderVideo(context.slots);
    RenderAudio(context);
    QueryGraphInterfaces(context.slots);
    // The old output goes only once the job can start: its source opened and
    // its graph built. A job that cannot start leaves it as it was.
    // A graph that analyses first replaces it itself, when it begins the file.
    if (context.slots.g_pSourceFilter.IsFilled() && context.slots.g_pMediaControl.IsFilled() &&
        !context.slots.g_pMediaControl.Get()->ReplacesOutputItself())
        DeleteOutputFile(context.settings.m_strOutputFile);
    RunAndReport(context);
}

void ResetGraphObjects(WorkerContext& context)
{
    JobSlots& slots = context.slots;
    context.frontEnd.ShowProgress({});
    slots.g_pCaptureBuilder.Release();
    slots.g_pGraph.Release();
    slots.g_pSourceFilter.Release();
    slots.g_pMux.Release();
    // The graph has been stopped by now, so an Abort has nothing left to reach.
    slots.g_pMediaControl.Release();
    slots.g_pMediaEvent.Release();
    context.binder.BindVideoCompressor();
    context.binder.BindAudioCompressor();
}

unsigned ConvertThreadProc(WorkerContext* context)
{
    RunConversion(*context);
    return 0;
}

void EndAfterFault(WorkerContext& context, const std::string& fault)
{
    const std::string reason = "The conversion stopped on an internal fault: " + fault;
    try {
        JobCompletion(context).Finish(media::EC_ERRORABORT, reason);
    } catch (...) {
        // The end failed too: at least no graph runs on, the slots are free
        // and the front end is not left in its running state.
        context.slots.StopGraph();
        context.slots.g_pMediaSeeking.Release();
        try {
            ResetGraphObjects(context);
            context.frontEnd.ShowControlState(JobPhase::Idle);
            context.frontEnd.OnJobEnded({media::EC_ERRORABORT, reason, false});
        } catch (...) {
        }
    }
}

ConversionWorker::ConversionWorker(media::IMediaEngine& engine, IJobFrontEnd& frontEnd,
                                   ICompressorBinder& binder, JobSlots& slots)
    : m_engine(engine), m_frontEnd(frontEnd), m_binder(binder), m_slots(slots)
{
}

ConversionWorker::~ConversionWorker()
{
    Join();
}

void ConversionWorker::Start(const ConversionSettings& settings)
{
    Join();
    m_slots.BeginJob();
    m_running = true;
    m_thread = std::thread([this, settings] {
        WorkerContext context{m_engine, m_frontEnd, m_binder, m_slots, settings};
        // Nothing may end the program from the worker: a fault ends the job
        // as a failed graph does.
        try {
            ConvertThreadProc(&context);
        } catch (const std::exception& fault) {
            EndAfterFault(context, fault.what());
        } catch (...) {
            EndAfterFault(context, "an unknown exception");
        }
        m_running = false;
        if (m_onFinished)
            m_onFinished();
    });
}

void ConversionWorker::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace calvex::job
