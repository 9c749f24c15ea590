#include "ui/Accessibility.h"

#include <wx/window.h>

#include <gtk/gtk.h>

namespace {

void NameWidget(GtkWidget* widget, const char* name)
{
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, name);
}

}  // namespace

void SetAccessibleName(wxWindow* control, const wxString& name)
{
    if (!control)
        return;
    control->SetName(name);
    GtkWidget* widget = static_cast<GtkWidget*>(control->GetHandle());
    if (!widget)
        return;
    const wxScopedCharBuffer utf8 = name.utf8_str();
    NameWidget(widget, utf8.data());
    // Multi-line text and lists sit in a scrolled window; the focus goes to
    // the view inside it, which must carry the name too.
    if (GTK_IS_SCROLLED_WINDOW(widget)) {
        if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget)))
            NameWidget(child, utf8.data());
    }
}
