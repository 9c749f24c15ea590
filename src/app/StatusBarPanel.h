#pragma once
// The three-part status bar, built from native labels so screen readers can
// read it: the container carries the status-bar role.
#include <wx/panel.h>
#include <wx/stattext.h>

class StatusBarPanel : public wxPanel {
public:
    explicit StatusBarPanel(wxWindow* parent);

    // Part 0: time, part 1: volume, part 2: state.
    void SetPartText(int part, const wxString& text);
    wxString PartText(int part) const;

private:
    void OnSize(wxSizeEvent& event);
    void LayoutParts();
    void ExposeRole();

    wxStaticText* parts_[3] = {};
};
