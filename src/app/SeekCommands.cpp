#include "app/SeekCommands.h"

#include "app/Commands.h"
#include "app/MainFrame.h"
#include "app/StatusText.h"
#include "i18n/TranslateWx.h"
#include "ui/Accessibility.h"
#include "playback/Seeking.h"
#include "playback/TimeText.h"

#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {
constexpr int kJumpDialogId = 660;
constexpr int kJumpEditId = 661;
constexpr int kJumpMaxChars = 63;
}  // namespace

void SeekCommand(MainFrame&, int id, long)
{
    switch (id) {
    case cmd::SeekBackward: SeekBy(-1); break;
    case cmd::SeekForward: SeekBy(+1); break;
    case cmd::Beginning: SeekTo(0.0); break;
    }
}

void SeekUnitCommand(MainFrame&, int id, long)
{
    switch (id) {
    case cmd::PreviousSeekUnit: CycleSeekUnit(-1); break;
    case cmd::NextSeekUnit: CycleSeekUnit(+1); break;
    case cmd::SpeakSeekUnit: SpeakSeekUnit(); break;
    }
}

void TimeReadoutCommand(MainFrame&, int id, long)
{
    switch (id) {
    case cmd::SpeakElapsed: SpeakElapsed(); break;
    case cmd::SpeakRemaining: SpeakRemaining(); break;
    case cmd::SpeakTotal: SpeakTotal(); break;
    }
}

void JumpToTimeCommand(MainFrame& frame, int, long)
{
    wxDialog dialog(&frame, kJumpDialogId, "Jump to Time");
    auto* label = new wxStaticText(&dialog, wxID_ANY, "Enter &time (mm:ss or hh:mm:ss):");
    auto* edit = new wxTextCtrl(&dialog, kJumpEditId, wxString::FromUTF8(FormatTime(CurrentPosition())));
    edit->SetMaxLength(kJumpMaxChars);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 6);
    sizer->Add(edit, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);
    sizer->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 6);
    dialog.SetSizerAndFit(sizer);
    TranslateDialog(&dialog);
    SetAccessibleName(edit, label->GetLabelText());
    edit->SetFocus();
    edit->SelectAll();
    if (dialog.ShowModal() != wxID_OK)
        return;
    const double target = ParseJumpTime(std::string(edit->GetValue().Left(kJumpMaxChars).utf8_str()));
    if (target >= 0)
        SeekTo(target);
}
