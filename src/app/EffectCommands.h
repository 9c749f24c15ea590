#pragma once
class MainFrame;

// The adjustment-cycle commands of the main window: 230-236 move through and
// change the selected parameter, 240-243 and 244-252 switch what is in the
// cycle.
void SelectParamCommand(MainFrame& frame, int id, long lParam);     // 230, 231
void AdjustParamCommand(MainFrame& frame, int id, long lParam);     // 232, 233
void ResetParamCommand(MainFrame& frame, int id, long lParam);      // 234
void ParamMinimumCommand(MainFrame& frame, int id, long lParam);    // 235
void ParamMaximumCommand(MainFrame& frame, int id, long lParam);    // 236
void ToggleStreamParamCommand(MainFrame& frame, int id, long lParam);  // 240-243
void ToggleDspEffectCommand(MainFrame& frame, int id, long lParam);    // 244-249, 251, 252
