// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/ffmpeg_engine.h"

#include "media/ffmpeg/compressor_filter.h"
#include "media/ffmpeg/encoder_catalogue.h"
#include "media/ffmpeg/filter_graph.h"
#include "media/ffmpeg/source_filter.h"

namespace calvex::media {
namespace ffmpeg {
namespace {

class EncoderMoniker : public IMoniker {
public:
    explicit EncoderMoniker(const AVCodec* codec) : m_codec(codec) {}
    std::string FriendlyName() const override
    {
        return m_codec->long_name != nullptr ? m_codec->long_name : m_codec->name;
    }
    std::string Key() const override { return m_codec->name; }
    FilterPtr BindToObject() override { return std::make_shared<CompressorFilter>(m_codec); }

private:
    const AVCodec* m_codec;
};

class DeviceEnumerator : public ICreateDevEnum {
public:
    std::vector<MonikerPtr> CreateClassEnumerator(Category category) override
    {
        const AVMediaType kind =
            category == Category::VideoCompressor ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
        std::vector<MonikerPtr> monikers;
        for (const AVCodec* codec : AviEncoders(kind))
            monikers.push_back(std::make_shared<EncoderMoniker>(codec));
        return monikers;
    }
};

class CaptureGraphBuilder : public ICaptureGraphBuilder {
public:
    FilterPtr SetOutputFileName(const std::filesystem::path& path) override
    {
        if (path.empty())
            return nullptr;
        m_graph = std::make_shared<FilterGraph>(path);
        return m_graph->Mux();
    }

    GraphPtr GetFiltergraph() override { return m_graph; }

    bool RenderStream(const FilterPtr& source, const FilterPtr& via, const FilterPtr& sink) override
    {
        if (!m_graph || !sink || sink != m_graph->Mux())
            return false;
        return m_graph->Render(source, via);
    }

private:
    std::shared_ptr<FilterGraph> m_graph;
};

class FfmpegEngine : public IMediaEngine {
public:
    std::shared_ptr<ICreateDevEnum> CreateDeviceEnumerator() override
    {
        return std::make_shared<DeviceEnumerator>();
    }
    std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder() override
    {
        return std::make_shared<CaptureGraphBuilder>();
    }
    SourceMeasure MeasureSource(const std::filesystem::path& path) override
    {
        std::string failure;
        const auto source = SourceFilter::Open(path, failure);
        if (!source)
            return {};
        SourceMeasure measure{true, source->DurationHns(), 0};
        const AVFormatContext* format = source->Format();
        const int video =
            av_find_best_stream(source->Format(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (video >= 0) {
            const AVStream* stream = format->streams[video];
            const AVRational rate =
                stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
            if (rate.num > 0 && rate.den > 0)
                measure.pixelsPerSecond =
                    double(stream->codecpar->width) * stream->codecpar->height * av_q2d(rate);
        }
        return measure;
    }
};

} // namespace
} // namespace ffmpeg

std::shared_ptr<IMediaEngine> CreateFfmpegEngine()
{
    return std::make_shared<ffmpeg::FfmpegEngine>();
}

} // namespace calvex::media
