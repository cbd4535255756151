// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/two_pass.h"

#include "media/ffmpeg/encoder_profiles.h"
#include "media/ffmpeg/flag_switches.h"
#include "media/ffmpeg/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace calvex::media::ffmpeg {
namespace {

// The AVI's own bytes: its headers (with the room FFmpeg keeps for the
// OpenDML index of each stream), and per packet a chunk header, an idx1
// entry, an OpenDML index entry and half a byte of padding on average.
constexpr int64_t kHeaderBytes = 12 * 1024;
constexpr double kBytesPerPacket = 32.5;
// Below this the pictures would be no more than grey blocks.
constexpr double kLowestBitsPerPicture = 2000;

bool IsX264(const AVCodec* codec)
{
    return std::strncmp(codec->name, "libx264", 7) == 0;
}

} // namespace

TwoPassLog::TwoPassLog()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "calvex-2pass-XXXXXX").string();
    // Without it x264 would write its statistics wherever the program runs.
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a folder for the first pass's statistics (" +
                                 pattern + "): " + std::strerror(errno));
    m_folder = pattern;
}

TwoPassLog::~TwoPassLog()
{
    std::error_code ignored;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ignored);
}

void TwoPassLog::Append(const char* stats)
{
    std::lock_guard lock(m_mutex);
    m_stats += stats;
}

bool OffersTargetSize(const AVCodec* codec)
{
    return ProfileOf(codec).twoPass;
}

EncoderSetting TargetSizeSetting()
{
    EncoderSetting setting;
    setting.name = kTargetSizeSetting;
    setting.label = "Target size";
    setting.help = "The size of the whole file, sound included; 0: none. The pictures are then "
                   "coded in two passes (an analysis, then the file) at the bit rate that fills "
                   "it, in place of the quality or bit rate above; it takes about twice as long.";
    setting.group = SettingGroup::QualityAndRate;
    setting.type = SettingType::Integer;
    setting.minimum = 0;
    setting.maximum = 1e13;
    setting.unit = "MB";
    setting.unitScale = 1e6;
    setting.defaultValue = "0";
    setting.currentValue = "0";
    return setting;
}

int64_t TargetBytes(const OptionValues& options)
{
    double bytes = 0;
    return ParseReal(FindOption(options, kTargetSizeSetting), bytes) && bytes > 0
               ? std::llround(bytes)
               : 0;
}

bool AsksForTargetSize(const AVCodec* codec, const OptionValues& options)
{
    return codec != nullptr && OffersTargetSize(codec) && TargetBytes(options) > 0;
}

OptionValues PassOptions(const AVCodec* codec, const OptionValues& user, int pass, int64_t bitRate,
                         const TwoPassLog& log)
{
    OptionValues options;
    for (const auto& [name, value] : user)
        if (name != kTargetSizeSetting && name != "b" && name != "flags")
            options.emplace_back(name, value);
    options.emplace_back("b", std::to_string(bitRate));
    options.emplace_back("flags",
                         WithFlag(FindOption(user, "flags"), pass == 1 ? "pass1" : "pass2", true));
    if (IsX264(codec))
        options.emplace_back("stats", log.X264File().string());
    return options;
}

double SmallestPictureBytes(const std::string& stats)
{
    constexpr double kCoarsest = 31;
    double bits = 0;
    for (size_t at = stats.find("in:"); at != std::string::npos; at = stats.find("in:", at + 1)) {
        double lambda = 0;
        long long intraBits = 0, interBits = 0, motionBits = 0, otherBits = 0;
        if (std::sscanf(stats.c_str() + at,
                        "in:%*d out:%*d type:%*d q:%lf itex:%lld ptex:%lld mv:%lld misc:%lld",
                        &lambda, &intraBits, &interBits, &motionBits, &otherBits) != 5)
            return 0;
        bits +=
            static_cast<double>(intraBits + interBits + 1) * lambda / (kCoarsest * FF_QP2LAMBDA) +
            static_cast<double>(motionBits + otherBits);
    }
    return bits / 8;
}

std::optional<int64_t> VideoBitRateFor(int64_t targetBytes, const PassCount& count)
{
    const double room = static_cast<double>(targetBytes - count.otherBytes - kHeaderBytes) -
                        kBytesPerPacket * static_cast<double>(count.packets);
    if (count.pictureSeconds <= 0 || count.pictures <= 0 ||
        room * 8 < kLowestBitsPerPicture * static_cast<double>(count.pictures))
        return std::nullopt;
    return std::llround(room * 8 / count.pictureSeconds);
}

} // namespace calvex::media::ffmpeg
