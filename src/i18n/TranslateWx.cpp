#include "i18n/TranslateWx.h"

#include "i18n/Translations.h"

#include <wx/wx.h>
#include <wx/textentry.h>

namespace {

// Longer texts are no keys; a cut-off copy must not replace the real label.
constexpr std::size_t kMaxMenuUnits = 255;
constexpr std::size_t kMaxControlUnits = 511;
constexpr std::size_t kMaxKeyBytes = 1023;

// The translation when it differs from the current text, else nothing.
bool TranslatedText(const wxString& current, std::size_t maxUnits, wxString& translated)
{
    if (current.empty() || current.length() > maxUnits)
        return false;
    const wxScopedCharBuffer utf8 = current.utf8_str();
    if (utf8.length() == 0 || utf8.length() > kMaxKeyBytes)
        return false;
    const wxString result = wxString::FromUTF8(Translate(std::string(utf8.data(), utf8.length())));
    if (result.empty() || result == current)
        return false;
    translated = result;
    return true;
}

bool HoldsData(wxWindow* window)
{
    return dynamic_cast<wxTextEntry*>(window) || dynamic_cast<wxItemContainer*>(window);
}

void TranslateChildren(wxWindow* parent)
{
    for (wxWindow* child : parent->GetChildren()) {
        if (child->IsTopLevel())
            continue;  // owned dialogs translate themselves
        wxString translated;
        if (!HoldsData(child) && TranslatedText(child->GetLabel(), kMaxControlUnits, translated))
            child->SetLabel(translated);
        TranslateChildren(child);
    }
}

}  // namespace

void TranslateMenu(wxMenu* menu)
{
    if (!menu)
        return;
    for (wxMenuItem* item : menu->GetMenuItems()) {
        if (!item || item->IsSeparator())
            continue;
        const wxString current = item->GetItemLabel();
        wxString translated;
        if (TranslatedText(current, kMaxMenuUnits, translated)) {
            // wx reads the text after the tab as a real accelerator and drops
            // names it does not know ("Espace"); keep the shortcut as it was,
            // the toolkit shows it in the user's language itself.
            const int tab = current.Find('\t');
            if (tab != wxNOT_FOUND)
                translated = translated.BeforeFirst('\t') + current.Mid(tab);
            if (translated != current)
                item->SetItemLabel(translated);
        }
        if (item->IsSubMenu())
            TranslateMenu(item->GetSubMenu());
    }
}

void TranslateMenu(wxMenuBar* menuBar)
{
    if (!menuBar)
        return;
    for (size_t i = 0; i < menuBar->GetMenuCount(); ++i) {
        wxString translated;
        if (TranslatedText(menuBar->GetMenuLabel(i), kMaxMenuUnits, translated))
            menuBar->SetMenuLabel(i, translated);
        TranslateMenu(menuBar->GetMenu(i));
    }
}

void TranslateDialog(wxWindow* window)
{
    if (!window)
        return;
    TranslateChildren(window);
    wxString translated;
    if (auto* topLevel = dynamic_cast<wxTopLevelWindow*>(window)) {
        if (TranslatedText(topLevel->GetTitle(), kMaxControlUnits, translated))
            topLevel->SetTitle(translated);
    } else if (TranslatedText(window->GetLabel(), kMaxControlUnits, translated)) {
        window->SetLabel(translated);
    }
}
