// SPDX-License-Identifier: GPL-2.0-or-later
// The media engine on FFmpeg's libraries. No FFmpeg type appears here, so
// code outside media/ needs no FFmpeg headers.
#pragma once

#include "media/engine.h"

#include <memory>

namespace calvex::media {

// The process-wide set-up of the engine: one heap for all threads, FFmpeg's
// log captured for the reasons of failed jobs, the encoder catalogue built.
// Called once by each program before its first thread and its first engine;
// later calls do nothing.
void StartMediaEngine();

// An engine; StartMediaEngine has been called.
std::shared_ptr<IMediaEngine> CreateFfmpegEngine();

} // namespace calvex::media
