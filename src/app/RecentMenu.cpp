#include "app/RecentMenu.h"

#include "app/MainFrame.h"
#include "i18n/Translations.h"
#include "storage/RecentFiles.h"

#include <wx/menu.h>

void RebuildRecentFilesMenu(MainFrame&, wxMenu* recent)
{
    if (!recent)
        return;
    while (recent->GetMenuItemCount() > 0)
        recent->Destroy(recent->FindItemByPosition(0));
    for (const RecentMenuItem& item : RecentMenuItems()) {
        const wxString label = wxString::FromUTF8(item.enabled ? item.label : std::string(Translate(item.label)));
        wxMenuItem* added = recent->Append(item.command ? item.command : wxID_ANY, label);
        added->Enable(item.enabled);
    }
}
