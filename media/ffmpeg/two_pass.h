// SPDX-License-Identifier: GPL-2.0-or-later
// A file of the size asked for: the encoder's two passes. The first analyses
// the pictures (its statistics kept here) while the sound and the packets
// are counted; the second codes the file at the bit rate that fills the size
// left after the sound and the AVI's own bytes.
#pragma once

#include "media/encoder_settings.h"
#include "media/ffmpeg/encoder_plan.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace calvex::media::ffmpeg {

inline constexpr const char* kTargetSizeSetting = "targetsize"; // bytes; 0: none

// The first pass's statistics, for the second.
class TwoPassLog {
public:
    TwoPassLog();
    ~TwoPassLog();
    TwoPassLog(const TwoPassLog&) = delete;
    TwoPassLog& operator=(const TwoPassLog&) = delete;

    // What an encoder wrote in its stats_out after a packet.
    void Append(const char* stats);
    // Everything appended, for the second pass's stats_in.
    const std::string& Stats() const { return m_stats; }
    // The file x264 keeps its statistics in.
    std::filesystem::path X264File() const { return m_folder / "x264.log"; }

private:
    std::mutex m_mutex;
    std::string m_stats;
    std::filesystem::path m_folder;
};

// True for the encoders with two passes.
bool OffersTargetSize(const AVCodec* codec);
// The Target size row of their Quality and rate group.
EncoderSetting TargetSizeSetting();
// The size asked for in bytes, 0 when none.
int64_t TargetBytes(const OptionValues& options);
// True when options ask codec (null: a copied stream) for a file size it can aim at.
bool AsksForTargetSize(const AVCodec* codec, const OptionValues& options);

// The options of pass 1 or 2 at bitRate: the user's, with the rate, the
// pass's flag and the statistics' place.
OptionValues PassOptions(const AVCodec* codec, const OptionValues& user, int pass, int64_t bitRate,
                         const TwoPassLog& log);

// What the first pass counted: the bytes and packets of everything but the
// pictures' data, the pictures and their seconds.
struct PassCount {
    int64_t otherBytes = 0;
    int64_t packets = 0;
    int64_t pictures = 0;
    double pictureSeconds = 0;
};

// The fewest bytes the pictures of an MPEG encoder's first-pass statistics
// take at its coarsest quantiser (31); 0 for statistics of another form.
double SmallestPictureBytes(const std::string& stats);

// The pictures' bit rate that makes the file targetBytes long; nothing when
// the sound and the AVI's own bytes leave too little room.
std::optional<int64_t> VideoBitRateFor(int64_t targetBytes, const PassCount& count);

} // namespace calvex::media::ffmpeg
