// SPDX-License-Identifier: GPL-2.0-or-later
// FFmpeg's option values in the form the program keeps them: numbers in
// digits, switches as -1 (auto), 0 or 1, named values and flags by name.
#pragma once

#include <string>
#include <vector>

extern "C" {
#include <libavutil/opt.h>
}

namespace calvex::media::ffmpeg {

// The named values of an option (the constants of its unit), in the order
// the encoder lists them.
std::vector<const AVOption*> NamedConstants(void* object, const AVOption* option);

// Those of constants a user may choose: encoding ones, without the flags that
// break an AVI file or that the program sets itself.
std::vector<const AVOption*> OfferedConstants(const std::vector<const AVOption*>& constants);

// The option's value in object, in the program's form.
std::string KeptValue(void* object, const AVOption* option);

bool ParseReal(const std::string& text, double& number);
// The shortest text that reads back as value ("4", "0.5").
std::string FormatReal(double value);

} // namespace calvex::media::ffmpeg
