#include "effects/BuiltInEffects.h"

#include <mutex>

namespace {

std::unique_ptr<audio::EffectProcessor> MakeByType(int fxType)
{
    switch (fxType) {
    case audio::kFxFreeverb: return MakeFreeverbEffect();
    case audio::kFxDx8Reverb: return MakeDx8ReverbEffect();
    case audio::kFxI3dl2Reverb: return MakeI3dl2ReverbEffect();
    case audio::kFxEcho4: return MakeEchoEffect();
    case audio::kFxVolume: return MakeVolumeEffect();
    case audio::kFxPeakEq: return MakePeakEqEffect();
    case audio::kFxCompressor2: return MakeCompressorEffect();
    default: return nullptr;
    }
}

}  // namespace

void RegisterBuiltInEffects()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int type : {audio::kFxFreeverb, audio::kFxDx8Reverb, audio::kFxI3dl2Reverb, audio::kFxEcho4,
                         audio::kFxVolume, audio::kFxPeakEq, audio::kFxCompressor2})
            audio::RegisterEffectFactory(type, &MakeByType);
    });
}
