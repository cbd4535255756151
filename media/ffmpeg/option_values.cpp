// SPDX-License-Identifier: GPL-2.0-or-later
#include "media/ffmpeg/option_values.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace calvex::media::ffmpeg {
namespace {

// Two-pass flags need a log file, qscale is the Quality setting's, and a
// global header leaves an AVI file's stream without its headers.
constexpr const char* kHiddenFlags[] = {"pass1", "pass2", "qscale", "global_header",
                                        "output_corrupt"};

std::string Text(void* object, const char* name)
{
    uint8_t* text = nullptr;
    if (av_opt_get(object, name, 0, &text) < 0 || text == nullptr)
        return {};
    std::string result(reinterpret_cast<char*>(text));
    av_free(text);
    return result;
}

std::string FlagNames(int64_t value, const std::vector<const AVOption*>& constants)
{
    std::string names;
    for (const AVOption* constant : constants) {
        const int64_t bits = constant->default_val.i64;
        if (bits != 0 && (value & bits) == bits)
            names += (names.empty() ? "" : "+") + std::string(constant->name);
    }
    return names.empty() ? "0" : names;
}

std::string NumberName(int64_t value, const std::vector<const AVOption*>& constants)
{
    for (const AVOption* constant : constants)
        if (constant->default_val.i64 == value)
            return constant->name;
    return std::to_string(value);
}

} // namespace

std::vector<const AVOption*> NamedConstants(void* object, const AVOption* option)
{
    std::vector<const AVOption*> constants;
    if (option->unit == nullptr)
        return constants;
    const AVOption* candidate = nullptr;
    while ((candidate = av_opt_next(object, candidate)) != nullptr) {
        if (candidate->type == AV_OPT_TYPE_CONST && candidate->unit != nullptr &&
            std::strcmp(candidate->unit, option->unit) == 0)
            constants.push_back(candidate);
    }
    return constants;
}

std::vector<const AVOption*> OfferedConstants(const std::vector<const AVOption*>& constants)
{
    std::vector<const AVOption*> offered;
    std::copy_if(constants.begin(), constants.end(), std::back_inserter(offered),
                 [](const AVOption* constant) {
                     return (constant->flags & AV_OPT_FLAG_ENCODING_PARAM) &&
                            std::none_of(std::begin(kHiddenFlags), std::end(kHiddenFlags),
                                         [&](const char* hidden) {
                                             return std::strcmp(hidden, constant->name) == 0;
                                         });
                 });
    return offered;
}

std::string KeptValue(void* object, const AVOption* option)
{
    int64_t number = 0;
    double real = 0;
    switch (option->type) {
    case AV_OPT_TYPE_BOOL:
        av_opt_get_int(object, option->name, 0, &number);
        return std::to_string(number);
    case AV_OPT_TYPE_FLAGS:
        av_opt_get_int(object, option->name, 0, &number);
        return FlagNames(number, NamedConstants(object, option));
    case AV_OPT_TYPE_INT:
    case AV_OPT_TYPE_INT64:
    case AV_OPT_TYPE_UINT64:
        av_opt_get_int(object, option->name, 0, &number);
        return NumberName(number, OfferedConstants(NamedConstants(object, option)));
    case AV_OPT_TYPE_FLOAT:
    case AV_OPT_TYPE_DOUBLE:
        av_opt_get_double(object, option->name, 0, &real);
        return FormatReal(real);
    default:
        return Text(object, option->name);
    }
}

bool ParseReal(const std::string& text, double& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end && !text.empty();
}

std::string FormatReal(double value)
{
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string();
}

} // namespace calvex::media::ffmpeg
