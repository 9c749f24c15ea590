#include "ui/Clipboard.h"

#include "playlist/ClipboardMedia.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

std::vector<std::string> CollectClipboardMedia()
{
    std::vector<std::string> files;
    std::string text;
    if (!wxTheClipboard->Open())
        return {};
    if (wxTheClipboard->IsSupported(wxDF_FILENAME)) {
        wxFileDataObject data;
        if (wxTheClipboard->GetData(data)) {
            for (const wxString& f : data.GetFilenames())
                files.push_back(std::string(f.utf8_str()));
        }
    }
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data))
            text = std::string(data.GetText().utf8_str());
    }
    wxTheClipboard->Close();
    return MediaFromClipboard(files, text);
}
