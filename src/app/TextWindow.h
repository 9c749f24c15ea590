#pragma once
#include <wx/string.h>
class wxWindow;

constexpr int kTextWindowDialogId = 910;
constexpr int kTextWindowEditId = 911;

// The modal read-only text window: the caption is used as given (callers
// translate it or not), the text is selected and focused.
void ShowTextWindow(wxWindow* owner, const wxString& caption, const wxString& text);
