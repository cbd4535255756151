// SPDX-License-Identifier: GPL-2.0-or-later
// Words for the sound encoders' rows: LAME's MP3 and FFmpeg's AC-3.
#include "media/ffmpeg/setting_wording_tables.h"

namespace calvex::media::ffmpeg {
namespace {

constexpr const char* kAc3 = "ac3 ac3_fixed eac3";

// AC-3's "not indicated" metadata, said plainly.
const std::vector<ChoiceWording> kNotSaid = {
    {"-1", "Not said (the encoder's default)", nullptr},
    {"notindicated", "Not said", nullptr},
};

std::vector<ChoiceWording> NotSaidAnd(std::vector<ChoiceWording> choices)
{
    choices.insert(choices.begin(), kNotSaid.begin(), kNotSaid.end());
    return choices;
}

const std::vector<RowWording> kMp3Rows = {
    {"libmp3lame", "reservoir", "Bit reservoir",
     "Lets a frame borrow the bits its neighbours left over: better sound at the same rate. "
     "Off only for MP3 frames that must stand alone."},
    {"libmp3lame", "joint_stereo", "Joint stereo",
     "Codes the channels' sum and difference where that saves bits: better sound at low "
     "rates; off keeps the channels fully apart."},
    {"libmp3lame", "abr", "Average bit rate",
     "Lets the rate vary around the bit rate set: better sound than a constant rate at the "
     "same size, but a varying rate in AVI confuses some players."},
    {"libmp3lame", "compression_level", "Encoding effort",
     "LAME's algorithm quality, 0 (best sound, slowest) to 9 (fastest); -1: LAME's own."},
};

const std::vector<RowWording> kAc3Rows = {
    {kAc3, "room_type", "Mixing room",
     "The room the sound was mixed in, for decoders that adjust to it; only metadata.",
     RowShape::AsIs,
     NotSaidAnd({{"large", "Large room", nullptr}, {"small", "Small room", nullptr}})},
    {kAc3, "per_frame_metadata", "Metadata per frame",
     "Lets the metadata below change during the sound, when the source changes it."},
    {kAc3, "dsur_mode", "Dolby Surround in stereo",
     "Says that a stereo track carries Dolby Surround, so decoders unfold it; only metadata.",
     RowShape::AsIs,
     NotSaidAnd({{"on", "Dolby Surround", nullptr}, {"off", "Not Dolby Surround", nullptr}})},
    {kAc3, "dmix_mode", "Preferred stereo down-mix",
     "How a stereo player should mix the channels down; only metadata.", RowShape::AsIs,
     NotSaidAnd({{"ltrt", "Surround-compatible (Lt/Rt)", nullptr},
                 {"loro", "Plain stereo (Lo/Ro)", nullptr},
                 {"dplii", "Dolby Pro Logic II", nullptr}})},
    {kAc3, "dsurex_mode", "Dolby Surround EX",
     "Says that the surround channels carry a back channel; only metadata.", RowShape::AsIs,
     NotSaidAnd({{"on", "Dolby Surround EX", nullptr},
                 {"off", "Not Dolby Surround EX", nullptr},
                 {"dpliiz", "Dolby Pro Logic IIz", nullptr}})},
    {kAc3, "dheadphone_mode", "Dolby Headphone",
     "Says that a stereo track is made for Dolby Headphone; only metadata.", RowShape::AsIs,
     NotSaidAnd({{"on", "Dolby Headphone", nullptr}, {"off", "Not Dolby Headphone", nullptr}})},
    {kAc3, "ad_conv_type", "A/D converter",
     "The converter the sound was recorded with; only metadata.", RowShape::AsIs,
     NotSaidAnd({{"standard", "Standard", nullptr}, {"hdcd", "HDCD", nullptr}})},
    {kAc3, "stereo_rematrixing", "Stereo rematrixing",
     "Codes the sum and difference of stereo channels where that saves bits: better sound at "
     "the same rate."},
    {kAc3,
     "channel_coupling",
     "Channel coupling",
     "Codes the high frequencies of several channels together: saves bits for the rest, at "
     "some loss of direction in the treble.",
     RowShape::Choice,
     {{"auto", "Chosen by the encoder", nullptr}, {"0", "Off", nullptr}, {"1", "On", nullptr}}},
    {kAc3, "cpl_start_band", "Coupling start band",
     "The frequency band from which channel coupling starts (0 to 15: higher keeps more apart); "
     "-1: chosen by the encoder.",
     RowShape::Number},
    {kAc3, "center_mixlev", "Centre level in a down-mix",
     "How loud the centre channel is when a player mixes down (0.595 is -4.5 dB)."},
    {kAc3, "surround_mixlev", "Surround level in a down-mix",
     "How loud the surround channels are when a player mixes down (0.5 is -6 dB)."},
    {kAc3, "mixing_level", "Mixing level",
     "The sound pressure the mix was made at, 80 to 111 dB SPL; -1: not said."},
    {kAc3,
     "copyright",
     "Copyrighted",
     "Marks the sound as copyrighted; only metadata.",
     RowShape::Switch,
     {},
     "0"},
    {kAc3, "dialnorm", "Dialogue level",
     "The loudness of dialogue, -31 to -1 dB: players lower the volume by the difference to "
     "-31, so -31 leaves it as it is."},
    {kAc3,
     "original",
     "Original recording",
     "Marks the sound as the original, not a copy; only metadata.",
     RowShape::Switch,
     {},
     "1"},
    {kAc3, "ltrt_cmixlev", "Centre level in an Lt/Rt down-mix",
     "As Centre level in a down-mix, for a surround-compatible one; -1: not said."},
    {kAc3, "ltrt_surmixlev", "Surround level in an Lt/Rt down-mix",
     "As Surround level in a down-mix, for a surround-compatible one; -1: not said."},
    {kAc3, "loro_cmixlev", "Centre level in an Lo/Ro down-mix",
     "As Centre level in a down-mix, for plain stereo; -1: not said."},
    {kAc3, "loro_surmixlev", "Surround level in an Lo/Ro down-mix",
     "As Surround level in a down-mix, for plain stereo; -1: not said."},
};

const std::vector<RowWording> kAudioRows = [] {
    std::vector<RowWording> rows = kMp3Rows;
    rows.insert(rows.end(), kAc3Rows.begin(), kAc3Rows.end());
    return rows;
}();

} // namespace

const std::vector<RowWording>& AudioWordings()
{
    return kAudioRows;
}

} // namespace calvex::media::ffmpeg
