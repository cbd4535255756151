#include "media/worker.h"

#include "job/completion.h"
#include "media/graph_slots.h"
#include "res/strings.h"

namespace calvex::media {

namespace {

class SlotGraphEnd : public job::IGraphEnd {
public:
    SlotGraphEnd(job::IJobWindow& window, ICompressorBinder& binder)
        : m_window(window), m_binder(binder)
    {
    }
    void StopGraph() override
    {
        if (const auto control = g_pMediaControl.Get())
            control->Stop();
    }
    void ReleaseMediaSeeking() override { g_pMediaSeeking.Release(); }
    void ResetGraphObjects() override { media::ResetGraphObjects(m_window, m_binder); }

private:
    job::IJobWindow& m_window;
    ICompressorBinder& m_binder;
};

// Steps 2 to 5: builder, multiplexer, graph and source.
void BuildGraph(IMediaEngine& engine, const job::ConversionSettings& settings)
{
    g_pCaptureBuilder.Set(engine.CreateCaptureGraphBuilder());
    const auto builder = g_pCaptureBuilder.Get();
    if (!builder)
        return;
    g_pMux.Set(builder->SetOutputFileName(settings.m_strOutputFile));
    g_pGraph.Set(builder->GetFiltergraph());
    if (const auto graph = g_pGraph.Get())
        g_pSourceFilter.Set(graph->AddSourceFilter(settings.m_strSourceFile, "Source Filter"));
}

void RenderVideo()
{
    const auto builder = g_pCaptureBuilder.Get();
    const auto graph = g_pGraph.Get();
    const auto compressor = g_pVideoCompressor.Get();
    if (graph && compressor)
        graph->AddFilter(compressor, "Video Compressor");
    if (builder)
        builder->RenderStream(g_pSourceFilter.Get(), compressor, g_pMux.Get());
}

void RenderAudio(const job::ConversionSettings& settings, job::IJobWindow& window)
{
    const auto builder = g_pCaptureBuilder.Get();
    const auto graph = g_pGraph.Get();
    const auto source = g_pSourceFilter.Get();
    if (settings.m_bKeepAudio == 1) {
        const bool rendered = builder && builder->RenderStream(source, nullptr, g_pMux.Get());
        // A copy the AVI cannot take would silently lose the sound; a source
        // without audio is fine as it is.
        const bool hasAudio = source && source->CountStreams(StreamKind::Audio) > 0;
        if (!rendered && hasAudio)
            window.MessageBox(strings::kAudioRenderFailed);
        return;
    }
    const auto compressor = g_pAudioCompressor.Get();
    if (!graph || !graph->AddFilter(compressor, "Audio Compressor"))
        window.MessageBox(strings::kAudioCompressorFailed);
    if (!builder || !builder->RenderStream(source, compressor, g_pMux.Get()))
        window.MessageBox(strings::kAudioRenderFailed);
}

void QueryGraphInterfaces()
{
    if (const auto graph = g_pGraph.Get()) {
        g_pMediaControl.Set(graph->QueryMediaControl());
        g_pMediaEvent.Set(graph->QueryMediaEvent());
    }
    if (const auto mux = g_pMux.Get())
        g_pMediaSeeking.Set(mux->QueryMediaSeeking());
}

// Steps 13 to 15: run, then poll and report, or end without position.
void RunAndReport(job::JobCompletion& completion)
{
    const auto event = g_pMediaEvent.Get();
    if (!event || !RunGraphUnlessStopped()) {
        // Abort came before the graph could run: end as a stopped graph does.
        // Otherwise the graph could not be built or started.
        completion.Finish(IsGraphStopRequested() ? EC_NONE : EC_ERRORABORT);
        return;
    }
    if (const auto seeking = g_pMediaSeeking.Get())
        completion.PollAndFinish(*event, *seeking);
    else
        completion.WaitAndEnd(*event);
}

} // namespace

void RunConversion(WorkerContext& context)
{
    BuildGraph(context.engine, context.settings);
    RenderVideo();
    RenderAudio(context.settings, context.window);
    QueryGraphInterfaces();
    context.window.SetProgressRange(0, 100);

    SlotGraphEnd graphEnd(context.window, context.binder);
    job::JobCompletion completion(context.window, graphEnd, context.state);
    RunAndReport(completion);
}

void ResetGraphObjects(job::IJobWindow& window, ICompressorBinder& binder)
{
    window.SetProgressPos(0);
    g_pCaptureBuilder.Release();
    g_pGraph.Release();
    g_pSourceFilter.Release();
    g_pMux.Release();
    // The graph has been stopped by now, so an Abort has nothing left to reach.
    g_pMediaControl.Release();
    g_pMediaEvent.Release();
    binder.BindVideoCompressor();
    binder.BindAudioCompressor();
}

unsigned ConvertThreadProc(WorkerContext* context)
{
    RunConversion(*context);
    return 0;
}

ConversionWorker::ConversionWorker(IMediaEngine& engine, job::IJobWindow& window,
                                   ICompressorBinder& binder, job::JobState& state)
    : m_engine(engine), m_window(window), m_binder(binder), m_state(state)
{
}

ConversionWorker::~ConversionWorker()
{
    Join();
}

void ConversionWorker::Start(const job::ConversionSettings& settings)
{
    Join();
    BeginGraphJob();
    m_running = true;
    m_thread = std::thread([this, settings] {
        WorkerContext context{m_engine, m_window, m_binder, m_state, settings};
        ConvertThreadProc(&context);
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

} // namespace calvex::media
