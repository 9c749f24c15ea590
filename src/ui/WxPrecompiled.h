#pragma once
// Precompiled for every wx translation unit; keep it to stable headers.
#include <wx/wx.h>
#include <wx/accel.h>
#include <wx/timer.h>
#include <wx/textctrl.h>
