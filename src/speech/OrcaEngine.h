#pragma once
// The desktop screen reader of Linux: found by its process, speaking through
// the speech service, showing braille through BRLTTY.
#include "speech/ScreenReaderBridge.h"

#include <memory>

std::unique_ptr<ScreenReaderEngine> MakeOrcaEngine();
