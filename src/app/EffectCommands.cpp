#include "app/EffectCommands.h"

#include "app/Commands.h"
#include "app/MainFrame.h"
#include "effects/AdjustmentCycle.h"
#include "effects/EffectSwitches.h"

namespace {

// Ctrl+5 .. Ctrl+0 are effects 0..5; the two keys after them are out of
// order: Ctrl+Equals (251) is 3D audio and Ctrl+Minus (252) convolution.
int DspEffectOfCommand(int id)
{
    if (id >= cmd::ToggleEffect0 && id < cmd::ToggleEffect0 + 6)
        return id - cmd::ToggleEffect0;
    if (id == cmd::ToggleConvolution)
        return 6;
    if (id == cmd::Toggle3DAudio)
        return 7;
    return -1;
}

}  // namespace

void SelectParamCommand(MainFrame&, int id, long)
{
    SelectNextParam(id == cmd::PreviousEffect ? -1 : 1);
}

void AdjustParamCommand(MainFrame& frame, int id, long)
{
    AdjustParam(id == cmd::DecreaseEffect ? -1 : 1);
    frame.RefreshStatus();
}

void ResetParamCommand(MainFrame& frame, int, long)
{
    ResetParam();
    frame.RefreshStatus();
}

void ParamMinimumCommand(MainFrame& frame, int, long)
{
    ParamToMinimum();
    frame.RefreshStatus();
}

void ParamMaximumCommand(MainFrame& frame, int, long)
{
    ParamToMaximum();
    frame.RefreshStatus();
}

void ToggleStreamParamCommand(MainFrame&, int id, long)
{
    ToggleStreamParam(id - cmd::ToggleVolume);
}

void ToggleDspEffectCommand(MainFrame&, int id, long)
{
    const int effect = DspEffectOfCommand(id);
    if (effect >= 0)
        ToggleDspEffect(effect);
}
