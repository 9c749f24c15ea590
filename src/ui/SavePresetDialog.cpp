#include "ui/SavePresetDialog.h"

#include "effects/Presets.h"
#include "i18n/TranslateWx.h"
#include "ui/Accessibility.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

constexpr int kSavePresetDialogId = 915;
constexpr int kPresetNameEditId = 916;

}  // namespace

bool ShowSavePresetDialog(wxWindow* owner, std::string& name)
{
    wxDialog dialog(owner, kSavePresetDialogId, "Save Effect Preset");
    auto* label = new wxStaticText(&dialog, wxID_ANY, "Preset &name:");
    auto* edit = new wxTextCtrl(&dialog, kPresetNameEditId, wxEmptyString, wxDefaultPosition,
                                dialog.ConvertDialogToPixels(wxSize(200, -1)));
    auto* ok = new wxButton(&dialog, wxID_OK, "OK");
    auto* cancel = new wxButton(&dialog, wxID_CANCEL, "Cancel");
    ok->SetDefault();

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok, 0, wxRIGHT, 6);
    buttons->Add(cancel, 0);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 8);
    sizer->Add(edit, 0, wxEXPAND | wxALL, 8);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    dialog.SetSizerAndFit(sizer);

    TranslateDialog(&dialog);
    // GTK leaves the edit unnamed even with the label before it.
    SetAccessibleName(edit, label->GetLabelText());
    SetAccessibleName(ok, ok->GetLabelText());
    SetAccessibleName(cancel, cancel->GetLabelText());
    dialog.SetEscapeId(wxID_CANCEL);
    edit->SetFocus();

    if (dialog.ShowModal() != wxID_OK)
        return false;
    name = SanitizePresetName(edit->GetValue().utf8_string());
    return true;
}
