// SPDX-License-Identifier: GPL-2.0-or-later
// A compressor filter: one encoder and this instance's own option values,
// which the graph applies when it opens the encoder. A new instance starts
// from the values last kept for its encoder in this process.
#pragma once

#include "media/encoder_settings.h"
#include "media/engine.h"
#include "media/ffmpeg/encoder_plan.h"
#include "media/ffmpeg/flag_switches.h"

#include <memory>
#include <mutex>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

class CompressorFilter : public IBaseFilter, public std::enable_shared_from_this<CompressorFilter> {
public:
    explicit CompressorFilter(const AVCodec* codec);

    const AVCodec* Codec() const { return m_codec; }
    AVMediaType Kind() const { return m_codec->type; }

    // The values set so far, in the order they were first set.
    OptionValues Options() const;
    // Stores value for the setting name when the encoder takes it, in the
    // form the encoder keeps it; false (nothing changed) otherwise.
    bool SetOption(const std::string& name, const std::string& value);
    // The stored value of name, or empty when it was not set.
    std::string Option(const std::string& name) const;
    // The encoder's settings, each at its default.
    const std::vector<EncoderSetting>& Settings() const;
    // Keeps this instance's values for the encoder's next instances.
    void KeepOptions() const;

    std::shared_ptr<ISpecifyPropertyPages> QueryPropertyPages() override;
    std::shared_ptr<ICodecDialog> QueryCodecDialog() override;

private:
    const EncoderSetting* SettingNamed(const std::string& name) const;
    // Sets or clears one flag of a flags option, as its switch row does.
    bool SetFlag(const FlagSwitch& flagSwitch, const std::string& value);
    // The stored value of setting, or its default.
    std::string CurrentValue(const EncoderSetting& setting) const;
    void Store(const std::string& name, const std::string& value);

    const AVCodec* m_codec;
    mutable std::mutex m_mutex;
    OptionValues m_values;
    mutable std::optional<std::vector<EncoderSetting>> m_settings;
};

} // namespace calvex::media::ffmpeg
