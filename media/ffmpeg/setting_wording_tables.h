// SPDX-License-Identifier: GPL-2.0-or-later
// The tables behind DressSettings, one file per kind of encoder.
#pragma once

#include <vector>

namespace calvex::media::ffmpeg {

struct ChoiceWording {
    const char* value; // what SetValue takes, as FFmpeg names it
    const char* name;  // shown to the user
    const char* help;  // null: FFmpeg's own
};

enum class RowShape {
    AsIs,   // the row as its option describes it; listed choices renamed
    Switch, // a 0/1 number or a 0/1 switch with "auto": a check box
    Choice, // a number with a few meaningful values: exactly the listed choices
    Number, // a number FFmpeg names one value of: a plain number
};

struct RowWording {
    const char* encoders; // codec names separated by spaces; "*": every encoder
    const char* name;     // the setting's key; "OPTION:FLAG" a switch for one flag
    const char* label;
    const char* help; // null: as described
    RowShape shape = RowShape::AsIs;
    std::vector<ChoiceWording> choices = {};
    const char* autoMeans = nullptr; // a switch's value when left to the encoder
};

// The rows of an encoder's sheet in the order a person reads them: each is
// moved into the encoder's group; rows not listed follow in their own order.
struct SheetOrder {
    const char* encoders;
    std::vector<const char*> rows;
};

const std::vector<RowWording>& VideoWordings();
const std::vector<RowWording>& AudioWordings();
const std::vector<SheetOrder>& SheetOrders();

} // namespace calvex::media::ffmpeg
