#pragma once
// Names for controls as screen readers see them. GTK links a label to the
// control after it only as "labelled-by" and leaves the control's own name
// empty, so every input control gets its label as its name here.
class wxWindow;
class wxString;

void SetAccessibleName(wxWindow* control, const wxString& name);
