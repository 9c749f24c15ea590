#include "app/StatusBarPanel.h"

#include <gtk/gtk.h>

namespace {
// Right edges of parts 0 and 1; part 2 runs to the window's edge.
constexpr int kPartEdges[2] = {200, 300};
}

StatusBarPanel::StatusBarPanel(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE)
{
    for (wxStaticText*& part : parts_)
        part = new wxStaticText(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    const int height = parts_[0]->GetBestSize().GetHeight() + 6;
    SetMinSize(wxSize(-1, height));
    Bind(wxEVT_SIZE, &StatusBarPanel::OnSize, this);
    ExposeRole();
}

void StatusBarPanel::ExposeRole()
{
    GtkWidget* widget = static_cast<GtkWidget*>(GetHandle());
    if (!widget)
        return;
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    if (!accessible)
        return;
    atk_object_set_role(accessible, ATK_ROLE_STATUSBAR);
    atk_object_set_name(accessible, "Status");
}

void StatusBarPanel::SetPartText(int part, const wxString& text)
{
    if (part < 0 || part > 2 || parts_[part]->GetLabel() == text)
        return;
    parts_[part]->SetLabel(text);
}

wxString StatusBarPanel::PartText(int part) const
{
    return part >= 0 && part <= 2 ? parts_[part]->GetLabel() : wxString();
}

void StatusBarPanel::OnSize(wxSizeEvent& event)
{
    LayoutParts();
    event.Skip();
}

void StatusBarPanel::LayoutParts()
{
    const wxSize size = GetClientSize();
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        const int right = i < 2 ? kPartEdges[i] : size.GetWidth();
        parts_[i]->SetSize(left + 4, 3, std::max(0, right - left - 8), size.GetHeight() - 6);
        left = right;
    }
}
