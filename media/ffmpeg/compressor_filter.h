// A compressor filter: one encoder and this instance's own option values,
// which the graph applies when it opens the encoder.
#pragma once

#include "media/engine.h"
#include "media/ffmpeg/encoder_plan.h"

#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

class CompressorFilter : public IBaseFilter, public std::enable_shared_from_this<CompressorFilter> {
public:
    explicit CompressorFilter(const AVCodec* codec) : m_codec(codec) {}

    const AVCodec* Codec() const { return m_codec; }
    AVMediaType Kind() const { return m_codec->type; }

    // The values set so far, in the order they were set.
    OptionValues Options() const;
    // Stores value for name when the encoder takes it; false (nothing changed) otherwise.
    bool SetOption(const std::string& name, const std::string& value);
    // The stored value of name, or empty when it was not set.
    std::string Option(const std::string& name) const;

    std::shared_ptr<ISpecifyPropertyPages> QueryPropertyPages() override;
    std::shared_ptr<ICodecDialog> QueryCodecDialog() override;

private:
    const AVCodec* m_codec;
    mutable std::mutex m_mutex;
    OptionValues m_values;
};

} // namespace calvex::media::ffmpeg
