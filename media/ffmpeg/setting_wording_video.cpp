// SPDX-License-Identifier: GPL-2.0-or-later
// Words for the video encoders' rows: the MPEG family's shared options
// (MPEG-4 part 2, MJPEG), Xvid's and x264's own.
#include "media/ffmpeg/setting_wording_tables.h"

namespace calvex::media::ffmpeg {
namespace {

constexpr const char* kMpeg4 = "mpeg4 libxvid";
constexpr const char* kMpegVideo = "mpeg4 mjpeg";

const std::vector<ChoiceWording> kCompare = {
    {"sad", "Absolute differences (fast)", nullptr},
    {"sse", "Squared differences", nullptr},
    {"satd", "Hadamard-transformed differences", nullptr},
    {"dct", "DCT-transformed differences", nullptr},
    {"psnr", "Quantisation error", nullptr},
    {"bit", "Bits needed", nullptr},
    {"rd", "Rate-distortion (slow)", nullptr},
    {"zero", "None", nullptr},
    {"vsad", "Vertical absolute differences", nullptr},
    {"vsse", "Vertical squared differences", nullptr},
    {"nsse", "Noise-preserving squared differences", nullptr},
    {"dct264", "H.264 DCT differences", "Differences after H.264's 4x4 transform"},
    {"dctmax", "Largest DCT difference", "The largest coefficient after the transform"},
    {"chroma", "Colour too", "Also compares the colour planes"},
    {"msad", "Median-predicted absolute differences", nullptr},
};

// Rows every encoder of the MPEG family shares: the general codec options
// and the flags inside them.
const std::vector<RowWording> kGeneralRows = {
    {"*",
     "flags",
     "Codec flags",
     "Less common coding flags; those a user looks for have rows of their own.",
     RowShape::AsIs,
     {{"mv4", "Four motion vectors per macroblock",
       "Lets each 8x8 block of a macroblock move on its own: better prediction of detailed "
       "motion, a little slower. Every MPEG-4 player reads it."},
      {"qpel", "Quarter-pixel motion",
       "Motion to a quarter pixel instead of a half: sharper prediction and a few percent "
       "smaller files at high quality, slower to encode and decode. Many standalone DivX/Xvid "
       "players cannot play it."},
      {"loop", "Loop filter (H.263)", "Smooths block edges in the pictures predicted from; H.263+"},
      {"gray", "Greyscale", "Codes brightness only: a black-and-white picture, slightly smaller"},
      {"psnr", "Measure PSNR",
       "Computes the picture's error while encoding; slower, no effect on the file"},
      {"ildct", "Interlaced coding",
       "Codes the two fields of an interlaced picture apart where it helps: keeps interlaced "
       "video sharp; no gain on progressive video."},
      {"low_delay", "Low delay (MPEG-2)", "No reordered pictures; MPEG-2 only"},
      {"bitexact", "Bit-exact output", "The same bytes on every machine; for tests"},
      {"aic", "Advanced intra coding (H.263+)",
       "Predicts intra blocks from their neighbours; H.263+"},
      {"ilme", "Interlaced motion search",
       "Searches motion per field; for interlaced video, slower"},
      {"cgop", "Closed GOP",
       "No picture refers across a key frame, so every part between key frames can be cut out "
       "on its own; costs a few bits."}}},
    {"*",
     "mbd",
     "Macroblock decision",
     "How each macroblock's coding is chosen: rate-distortion gives the best picture for its "
     "size at about half the speed.",
     RowShape::AsIs,
     {{"simple", "By comparison (fast)", "Compares the candidates' differences"},
      {"bits", "Fewest bits", "Codes each candidate and keeps the smallest"},
      {"rd", "Rate-distortion (best, slow)",
       "Codes each candidate and weighs size against error"}}},
    {"*", "trellis", "Trellis quantisation",
     "Chooses each block's coefficients for the best picture per bit: about 5 % smaller at the "
     "same quality, somewhat slower.",
     RowShape::Switch},
    {"*",
     "mpv_flags",
     "More coding flags",
     "Less common choices of the MPEG family's encoders.",
     RowShape::AsIs,
     {{"skip_rd", "Rate-distortion block skipping",
       "Skips a macroblock's remainder where that costs less than it loses; slower"},
      {"strict_gop", "Exact key-frame interval", "Never moves a key frame to a scene cut"},
      {"qp_rd", "Rate-distortion quantiser", nullptr},
      {"cbp_rd", "Rate-distortion coded blocks", nullptr},
      {"naq", "Even out adaptive quantisation",
       "Keeps the average quantiser where the rate control set it when masking moves it"},
      {"mv0", "Try zero motion", nullptr}}},
};

const std::vector<RowWording> kMpeg4Rows = {
    {kMpeg4, "flags:qpel", "Quarter-pixel motion",
     "Motion to a quarter pixel instead of a half: sharper prediction and a few percent smaller "
     "files at high quality, slower to encode and decode. Many standalone DivX/Xvid players "
     "cannot play it."},
    {kMpeg4, "flags:mv4", "Four motion vectors per macroblock",
     "Lets each 8x8 block of a macroblock move on its own: better prediction of detailed motion, "
     "a little slower. Every MPEG-4 player reads it."},
    {kMpeg4, "flags:cgop", "Closed GOP",
     "No picture refers across a key frame, so every part between key frames can be cut out on "
     "its own; costs a few bits. Key frames then come at the key-frame interval only, not at "
     "scene cuts."},
    {"mpeg4", "mpv_flags:mv0", "Try zero motion",
     "With rate-distortion macroblock decision, also tries each macroblock without motion: "
     "slightly better picture, slower."},
    {"mpeg4", "mpv_flags:qp_rd", "Rate-distortion quantiser",
     "Chooses each macroblock's quantiser by trial: a better picture for its size, much slower. "
     "Needs rate-distortion macroblock decision."},
    {"mpeg4", "mpv_flags:cbp_rd", "Rate-distortion coded blocks",
     "Chooses which blocks to code by trial: slightly smaller, slower. Needs trellis "
     "quantisation."},
    {kMpeg4, "mpeg_quant", "MPEG quantisation matrices",
     "MPEG's quantisation matrices instead of H.263's: more fine detail kept at high bit rates, "
     "a softer picture at low ones. Some old standalone players show it badly.",
     RowShape::Switch},
    {"mpeg4",
     "motion_est",
     "Motion search method",
     "How far the encoder looks for where each block came from: a wider search finds better "
     "matches (smaller files) more slowly.",
     RowShape::AsIs,
     {{"zero", "None (fastest, largest files)", "Assumes nothing moves"},
      {"epzs", "Predictive zonal search (EPZS)", "Starts from the neighbours' motion: fast, good"},
      {"xone", "Extended search (X1)", "A wider search: a little better, slower"}}},
    {"mpeg4", "data_partitioning", "Data partitioning",
     "Splits each packet so that damage in transmission loses less of the picture; for lossy "
     "links. A little larger, and many standalone players cannot read it.",
     RowShape::Switch},
    {"mpeg4", "alternate_scan", "Alternate scan order",
     "Reads the coefficients in the order that suits interlaced pictures; no gain on "
     "progressive video, and some players show it wrong."},
    {"mpeg4",
     "b_strategy",
     "B-frame decision",
     "How the encoder chooses between B-frames and P-frames: adaptive puts B-frames where they "
     "save bits.",
     RowShape::Choice,
     {{"0", "Always the most B-frames", "Fast, but B-frames on scene cuts waste bits"},
      {"1", "Adaptive, fast", "By the difference between pictures"},
      {"2", "Adaptive, best (slow)", "By trial encodes: the smallest file, much slower"}}},
    {"mpeg4", "b_sensitivity", "B-frame sensitivity",
     "For the fast adaptive B-frame decision: higher values use B-frames less often."},
    {"mpeg4", "brd_scale", "B-frame decision downscale",
     "For the best B-frame decision: tries on pictures halved this many times (0 to 3); faster, "
     "less exact."},
    {kMpegVideo, "sc_threshold", "Scene-cut threshold",
     "How different a picture must be to start a key frame at a scene cut: higher values give "
     "fewer extra key frames; 1000000000 turns the detection off."},
    {"mpeg4", "mepc", "Motion vector cost",
     "How much the bits of a motion vector weigh in the motion search (256 = 1.0): higher "
     "favours short vectors."},
    {"mpeg4", "mepre", "Motion pre-search",
     "A first motion search over the whole picture: 0 off, 1 after key frames, 2 "
     "always. Helps fast motion, slower."},
    {"mpeg4", "intra_penalty", "Intra block penalty",
     "Makes the encoder less keen to code blocks without prediction; 0: none."},
    {kMpegVideo, "skip_cmp", "Picture skip comparison",
     "How a picture is compared with the last one to decide whether to skip it (see Picture "
     "skip threshold).",
     RowShape::AsIs, kCompare},
    {kMpegVideo, "luma_elim_threshold", "Brightness coefficient elimination",
     "Drops blocks whose only brightness coefficients are small and scattered: saves bits, may "
     "lose faint detail. 0: off; negative also counts the block's average."},
    {kMpegVideo, "chroma_elim_threshold", "Colour coefficient elimination",
     "As brightness coefficient elimination, for the colour blocks."},
    {kMpegVideo, "quantizer_noise_shaping", "Noise shaping",
     "Shapes the coding error to follow the picture's texture, where the eye sees it less: "
     "better looking, slower. 0: off."},
    {kMpegVideo, "qsquish", "Quantiser limiting",
     "How the rate control keeps the quantiser between its bounds: 0 clips it, 1 eases it in."},
    {kMpegVideo, "rc_qmod_amp", "Quantiser modulation strength",
     "Experimental: varies the quantiser from picture to picture by this much."},
    {kMpegVideo, "rc_qmod_freq", "Quantiser modulation period",
     "Experimental: the pictures over which the quantiser modulation repeats."},
    {kMpegVideo, "rc_eq", "Rate control equation",
     "The expression the rate control spends bits by; empty: FFmpeg's own. For experts."},
    {kMpegVideo, "rc_init_cplx", "Initial complexity",
     "The picture complexity the rate control assumes at the start; 0: learnt from the first "
     "pictures."},
    {kMpegVideo, "border_mask", "Coarser borders",
     "Raises the quantiser near the picture's edges, where viewers look less: saves bits. 0: "
     "off."},
    {kMpegVideo, "lmin", "Lowest Lagrange factor",
     "The least weight of size against error in rate-distortion decisions (118 is about "
     "quantiser 1)."},
    {kMpegVideo, "lmax", "Highest Lagrange factor",
     "The most weight of size against error in rate-distortion decisions (118 is about "
     "quantiser 1)."},
    {kMpegVideo, "skip_threshold", "Picture skip threshold",
     "A picture this close to the last one is not coded, the last one shown again: saves bits "
     "on still scenes. 0: every picture coded."},
    {kMpegVideo, "skip_factor", "Picture skip factor",
     "Raises the picture skip threshold with the quantiser; 0: not."},
    {kMpegVideo, "skip_exp", "Picture skip exponent",
     "How block differences add up for the picture skip decision; 0: the largest one counts."},
    {kMpegVideo, "noise_reduction", "Noise reduction",
     "Takes grain and noise out while coding: smaller files, a softer picture. 0: off; 100 to "
     "1000 typical."},
    {"mjpeg",
     "huffman",
     "Huffman tables",
     "The code tables of each picture: optimal ones make it a few percent smaller, a little "
     "slower.",
     RowShape::AsIs,
     {{"default", "Standard tables", "Faster; what every decoder expects"},
      {"optimal", "Optimal per picture", "Smaller files"}}},
    {"mjpeg", "force_duplicated_matrix", "Repeat the quantisation matrix",
     "Writes the colour matrix even where it equals the brightness one; a few bytes more, for "
     "RTP streaming."},
};

const std::vector<RowWording> kXvidRows = {
    {"libxvid", "gmc", "Global motion compensation",
     "Codes pans, zooms and rotations as one motion of the whole picture: smaller files on "
     "camera moves, slower. Many standalone players cannot play it.",
     RowShape::Switch},
    {"libxvid", "me_quality", "Motion search quality",
     "How hard Xvid looks for motion, 0 (none, fastest) to 6 (best, slowest)."},
    {"libxvid", "lumi_aq", "Brightness masking",
     "A coarser quantiser in very bright and very dark areas, where the eye sees less: smaller "
     "files, sometimes visible blocks in dark scenes.",
     RowShape::Switch},
    {"libxvid", "variance_aq", "Adaptive quantisation by detail",
     "Moves bits from busy areas to flat ones, where blocks would show: a more even picture.",
     RowShape::Switch},
    {"libxvid",
     "ssim",
     "Report SSIM",
     "Prints the picture's SSIM (similarity to the source) while encoding; slower, no effect on "
     "the file.",
     RowShape::AsIs,
     {{"off", "Off", nullptr},
      {"avg", "The average", nullptr},
      {"frame", "Every picture", nullptr}}},
    {"libxvid", "ssim_acc", "SSIM accuracy",
     "How exactly SSIM is measured, 0 (most exact, slowest) to 4."},
};

const std::vector<RowWording> kX264Rows = {
    {"libx264 libx264rgb", "flags:cgop", "Closed GOP",
     "No picture refers across a key frame, so every part between key frames can be cut out on "
     "its own and seeking is exact; costs a few bits."},
    {"libx264 libx264rgb", "flags:ildct", "Interlaced coding",
     "Codes interlaced video as fields: keeps it sharp; no gain on progressive video, and some "
     "players and phones cannot play it."},
    {"libx264 libx264rgb",
     "preset",
     "Speed preset",
     "How hard x264 works: each slower preset makes a smaller file at the same quality for "
     "more time. Medium is the usual balance.",
     RowShape::AsIs,
     {{"ultrafast", "Ultra fast (largest files)", nullptr},
      {"superfast", "Super fast", nullptr},
      {"veryfast", "Very fast", nullptr},
      {"faster", "Faster", nullptr},
      {"fast", "Fast", nullptr},
      {"medium", "Medium", nullptr},
      {"slow", "Slow", nullptr},
      {"slower", "Slower", nullptr},
      {"veryslow", "Very slow", nullptr},
      {"placebo", "Placebo (hardly better than very slow)", nullptr}}},
    {"libx264 libx264rgb",
     "tune",
     "Tuned for",
     "Adjusts the preset to the kind of picture.",
     RowShape::AsIs,
     {{"", "Nothing in particular", nullptr},
      {"film", "Film (live action)", nullptr},
      {"animation", "Animation (cartoons)", nullptr},
      {"grain", "Film grain (kept)", nullptr},
      {"stillimage", "Still pictures (slide shows)", nullptr},
      {"psnr", "PSNR measurements", nullptr},
      {"ssim", "SSIM measurements", nullptr},
      {"fastdecode", "Fast decoding (weak players)", nullptr},
      {"zerolatency", "No delay (live streaming)", nullptr}}},
    {"libx264 libx264rgb",
     "profile",
     "H.264 profile",
     "The feature set players check: a lower profile plays on older devices, at a larger file.",
     RowShape::AsIs,
     {{"", "Automatic (from the settings)", nullptr},
      {"baseline", "Baseline (old phones)", "No B-frames, no CABAC, no 8x8 transform"},
      {"main", "Main (older players and TVs)", nullptr},
      {"high", "High (most players)", nullptr},
      {"high10", "High 10 (10-bit)", nullptr},
      {"high422", "High 4:2:2", nullptr},
      {"high444", "High 4:4:4", nullptr}}},
    {"libx264 libx264rgb", "level", "H.264 level",
     "The level players check, such as 4.1; empty: computed from the picture size and rate."},
    {"libx264 libx264rgb", "fastfirstpass", "Fast first pass",
     "Faster settings on the first pass of a two-pass encoding; no effect on a single pass."},
    {"libx264 libx264rgb", "a53cc", "Keep closed captions",
     "Copies the source's ATSC closed captions into the video, when it has any."},
    {"libx264 libx264rgb",
     "aq-mode",
     "Adaptive quantisation",
     "Spends bits where flat areas would show blocks: costs little speed, gives a more even "
     "picture.",
     RowShape::AsIs,
     {{"none", "Off", nullptr},
      {"variance", "By detail", nullptr},
      {"autovariance", "By detail, self-tuning", nullptr},
      {"autovariance-biased", "By detail, self-tuning, more bits to dark scenes", nullptr}}},
    {"libx264 libx264rgb", "aq-strength", "Adaptive quantisation strength",
     "How strongly adaptive quantisation moves bits; -1: x264's own (1.0)."},
    {"libx264 libx264rgb", "psy", "Psychovisual optimisation",
     "Keeps the grain and detail the eye notices rather than the numerically closest picture: "
     "better looking, lower PSNR."},
    {"libx264 libx264rgb", "psy-rd", "Psychovisual strength",
     "RD:TRELLIS, such as 1.0:0.0; empty: x264's own for the tune."},
    {"libx264 libx264rgb", "weightb", "Weighted B-frame prediction",
     "Predicts fades in B-frames by weighting their references: smaller fades, a little "
     "slower."},
    {"libx264 libx264rgb",
     "weightp",
     "Weighted P-frame prediction",
     "Predicts fades in P-frames by weighting their references: smaller fades, slower. Some "
     "old hardware players mishandle it.",
     RowShape::AsIs,
     {{"none", "Off", nullptr}, {"simple", "Simple (fast)", nullptr}, {"smart", "Smart", nullptr}}},
    {"libx264 libx264rgb", "ssim", "Report SSIM",
     "Measures the pictures' SSIM (similarity to the source) and logs it; a little slower, no "
     "effect on the file."},
    {"libx264 libx264rgb", "intra-refresh", "Periodic intra refresh",
     "A moving column of intra blocks instead of key frames: an even rate for live streaming, "
     "but no key frames to seek to."},
    {"libx264 libx264rgb", "bluray-compat", "Blu-ray compatibility",
     "Keeps to what Blu-ray players need; a little less efficient."},
    {"libx264 libx264rgb",
     "b-pyramid",
     "B-frame pyramid",
     "Lets some B-frames serve as references: smaller files with two B-frames or more.",
     RowShape::AsIs,
     {{"none", "Off", nullptr},
      {"strict", "Strict (Blu-ray)", nullptr},
      {"normal", "Normal", nullptr}}},
    {"libx264 libx264rgb", "mixed-refs", "Mixed references",
     "Lets each part of a macroblock choose its own reference picture: a little smaller, "
     "slower."},
    {"libx264 libx264rgb", "8x8dct", "8x8 transform",
     "The High profile's larger transform: smaller files, sharper flat areas; needs a player "
     "of the High profile."},
    {"libx264 libx264rgb", "fast-pskip", "Fast skip detection",
     "Decides early that a macroblock needs no coding: faster, may leave blocks in dark areas "
     "and gradients."},
    {"libx264 libx264rgb", "aud", "Access unit delimiters",
     "Marks the start of every picture in the stream, as broadcast and Blu-ray want; a few "
     "bytes each."},
    {"libx264 libx264rgb", "mbtree", "Macroblock tree",
     "Gives more bits to the parts later pictures refer to: better quality at the same size, "
     "above all on still backgrounds."},
    {"libx264 libx264rgb",
     "direct-pred",
     "B-frame direct motion",
     "How B-frames guess motion they do not code: automatic picks per picture, a little "
     "slower.",
     RowShape::AsIs,
     {{"none", "Off", nullptr},
      {"spatial", "Spatial", nullptr},
      {"temporal", "Temporal", nullptr},
      {"auto", "Automatic", nullptr}}},
    {"libx264 libx264rgb",
     "nal-hrd",
     "Rate buffer signalling",
     "Writes the rate buffer model that broadcast and Blu-ray check; needs a rate control "
     "buffer. Constant pads the stream to the bit rate.",
     RowShape::AsIs,
     {{"-1", "Off (x264's own)", nullptr},
      {"none", "Off", nullptr},
      {"vbr", "Variable rate", nullptr},
      {"cbr", "Constant rate", nullptr}}},
    {"libx264 libx264rgb",
     "motion-est",
     "Motion search method",
     "How far x264 looks for where each block came from: a wider search finds better matches "
     "(smaller files) more slowly.",
     RowShape::AsIs,
     {{"dia", "Diamond (fastest)", nullptr},
      {"hex", "Hexagon", nullptr},
      {"umh", "Uneven multi-hexagon (slower, better)", nullptr},
      {"esa", "Exhaustive (very slow)", nullptr},
      {"tesa", "Transformed exhaustive (slowest)", nullptr}}},
    {"libx264 libx264rgb",
     "me_method",
     "Motion search method (old key)",
     "The same as Motion search method, under its older name.",
     RowShape::AsIs,
     {{"dia", "Diamond (fastest)", nullptr},
      {"hex", "Hexagon", nullptr},
      {"umh", "Uneven multi-hexagon (slower, better)", nullptr},
      {"esa", "Exhaustive (very slow)", nullptr},
      {"tesa", "Transformed exhaustive (slowest)", nullptr}}},
    {"libx264 libx264rgb", "forced-idr", "Forced key frames as IDR",
     "Makes the key frames a cut list forces full restarts that players can seek to."},
    {"libx264 libx264rgb",
     "coder",
     "Entropy coder",
     "CABAC makes files 10 to 15 % smaller; CAVLC decodes faster on weak players.",
     RowShape::AsIs,
     {{"default", "x264's own (CABAC)", nullptr},
      {"cavlc", "CAVLC (faster decoding)", nullptr},
      {"cabac", "CABAC (smaller)", nullptr},
      {"vlc", "CAVLC (same as above)", nullptr},
      {"ac", "CABAC (same as above)", nullptr}}},
    {"libx264 libx264rgb", "udu_sei", "Keep user data",
     "Copies the source's unregistered user data messages into the video, when it has any."},
    {"libx264 libx264rgb", "wpredp", "Weighted P-frame prediction (by number)",
     "The same as Weighted P-frame prediction, as 0, 1 or 2; empty: that row decides."},
    {"libx264 libx264rgb", "crf_max", "Lowest quality under a rate buffer",
     "At a constant quality with a maximum bit rate: the rate factor the buffer may not push "
     "past; -1: none."},
    {"libx264 libx264rgb", "rc-lookahead", "Rate control look-ahead",
     "Pictures x264 looks ahead to place B-frames and share bits: more is better, and uses "
     "more memory and delay; -1: the preset's."},
    {"libx264 libx264rgb", "b-bias", "B-frame bias",
     "-100 to 100: higher values use B-frames more often; the lowest number: x264's own (0)."},
    {"libx264 libx264rgb", "deblock", "Deblocking strength",
     "ALPHA:BETA, such as -1:-1 for a sharper or 1:1 for a smoother picture; empty: the "
     "tune's."},
    {"libx264 libx264rgb", "cplxblur", "Complexity blur",
     "Evens out the quantiser between neighbouring pictures; -1: x264's own."},
    {"libx264 libx264rgb", "partitions", "Partitions searched",
     "Block sizes x264 tries, such as p8x8,b8x8,i8x8,i4x4, or all or none: more is smaller and "
     "slower; empty: the preset's."},
    {"libx264 libx264rgb", "slice-max-size", "Largest slice",
     "Bytes per slice at most, for packet networks; -1: no limit."},
    {"libx264 libx264rgb", "avcintra-class", "AVC-Intra class",
     "Writes AVC-Intra of class 50, 100, 200, 300 or 480 for broadcast editing; -1: off."},
    {"libx264 libx264rgb",
     "b_strategy",
     "B-frame decision",
     "How x264 chooses between B-frames and P-frames.",
     RowShape::Choice,
     {{"-1", "x264's own (fast)", nullptr},
      {"0", "Always the most B-frames", nullptr},
      {"1", "Adaptive, fast", nullptr},
      {"2", "Adaptive, best (slow with many B-frames)", nullptr}}},
    {"libx264 libx264rgb", "chromaoffset", "Colour quantiser offset",
     "Added to the quantiser of the colour planes: negative keeps more colour detail."},
    {"libx264 libx264rgb", "sc_threshold", "Scene-cut threshold",
     "How readily a scene cut starts a key frame: higher gives more; 0 off, -1: x264's own "
     "(40)."},
    {"libx264 libx264rgb", "noise_reduction", "Noise reduction",
     "Takes grain and noise out while coding: smaller files, a softer picture. -1 or 0: off."},
    {"libx264 libx264rgb", "x264-params", "x264 parameters",
     "Any of x264's own settings, as KEY=VALUE:KEY=VALUE; they win over the rows above."},
    {"libx264 libx264rgb",
     "trellis",
     "Trellis quantisation",
     "Chooses each block's coefficients for the best picture per bit: smaller, slower.",
     RowShape::Choice,
     {{"-1", "x264's own (for the preset)", nullptr},
      {"0", "Off", nullptr},
      {"1", "On the final decision", nullptr},
      {"2", "On every decision (slow)", nullptr}}},
};

const std::vector<RowWording> kVideoRows = [] {
    std::vector<RowWording> rows = kMpeg4Rows;
    for (const auto* table : {&kXvidRows, &kX264Rows, &kGeneralRows})
        rows.insert(rows.end(), table->begin(), table->end());
    return rows;
}();

} // namespace

const std::vector<RowWording>& VideoWordings()
{
    return kVideoRows;
}

const std::vector<SheetOrder>& SheetOrders()
{
    static const std::vector<SheetOrder> orders = {
        {"mpeg4",
         {"player", "fourcc", "motion_est", "flags:qpel", "flags:mv4", "mbd", "mpv_flags:mv0",
          "mpv_flags:qp_rd", "trellis", "mpv_flags:cbp_rd", "mpeg_quant", "b_strategy",
          "b_sensitivity", "brd_scale", "flags:cgop", "sc_threshold", "data_partitioning",
          "alternate_scan"}},
        {"libxvid",
         {"player", "me_quality", "flags:qpel", "gmc", "flags:mv4", "mpeg_quant", "lumi_aq",
          "variance_aq", "flags:cgop"}},
        {"libx264 libx264rgb",
         {"preset", "tune", "profile", "level", "motion-est", "b-pyramid", "mbtree", "aq-mode",
          "psy", "8x8dct", "coder", "trellis", "flags:cgop", "flags:ildct"}},
        {"mjpeg", {"huffman", "trellis", "force_duplicated_matrix"}},
    };
    return orders;
}

} // namespace calvex::media::ffmpeg
