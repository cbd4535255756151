// SPDX-License-Identifier: GPL-2.0-or-later
// The media engine on FFmpeg's libraries. No FFmpeg type appears here, so
// code outside media/ needs no FFmpeg headers.
#pragma once

#include "media/engine.h"

#include <memory>

namespace calvex::media {

std::shared_ptr<IMediaEngine> CreateFfmpegEngine();

} // namespace calvex::media
