#include "app/TextWindow.h"

#include "i18n/TranslateWx.h"
#include "ui/Accessibility.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

void ShowTextWindow(wxWindow* owner, const wxString& caption, const wxString& text)
{
    wxDialog dialog(owner, kTextWindowDialogId, caption, wxDefaultPosition, wxSize(480, 320),
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    auto* edit = new wxTextCtrl(&dialog, kTextWindowEditId, text, wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_PROCESS_ENTER);
    auto* ok = new wxButton(&dialog, wxID_OK, "OK");
    auto* cancel = new wxButton(&dialog, wxID_CANCEL, "Cancel");

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(ok, 0, wxALL, 4);
    buttons->Add(cancel, 0, wxALL, 4);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(edit, 1, wxEXPAND | wxALL, 6);
    sizer->Add(buttons, 0, wxEXPAND);
    dialog.SetSizer(sizer);

    TranslateDialog(&dialog);
    dialog.SetTitle(caption);
    SetAccessibleName(edit, caption);

    // Enter closes the window even though the field is multi-line.
    dialog.Bind(wxEVT_CHAR_HOOK, [&dialog](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER)
            dialog.EndModal(wxID_OK);
        else
            e.Skip();
    });
    dialog.SetEscapeId(wxID_CANCEL);
    edit->SetFocus();
    edit->SelectAll();
    dialog.ShowModal();
}
