#pragma once
#include <memory>
#include <string>

#include "audio/StreamSource.h"

namespace audio {

// A local file decoded by FFmpeg. Null with the error code set on failure.
std::unique_ptr<StreamSource> OpenFileSource(const std::string& path);

}  // namespace audio
