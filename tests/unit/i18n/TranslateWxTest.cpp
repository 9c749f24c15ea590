// Menus and dialogs translated in place; needs a display (skipped without).
#include "i18n/TranslateWx.h"
#include "i18n/Translations.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>
#include <wx/wx.h>

namespace {

class TranslateWxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        BuildTranslationTables();
        const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
        if (display)
            wxApp::SetInstance(new wxApp);  // a GUI app object, so GTK gets its display
        s_ready = display && wxInitialize();
    }
    static void TearDownTestSuite()
    {
        if (s_ready)
            wxUninitialize();
    }
    void SetUp() override
    {
        if (!s_ready)
            GTEST_SKIP() << "no display for wx";
        SetLanguage("fr");
    }
    void TearDown() override { SetLanguage("en"); }
    static inline bool s_ready = false;
};

TEST_F(TranslateWxTest, MenuBarTurnsFrenchOnceAndStaysSo)
{
    wxMenuBar bar;
    auto* file = new wxMenu;
    file->Append(101, "&Open...\tCtrl+O");
    file->AppendSeparator();
    auto* recent = new wxMenu;
    recent->Append(6000, "(Empty)");
    recent->Enable(6000, false);
    file->AppendSubMenu(recent, "Recent &Files");
    file->Append(990, "My Song.mp3");
    auto* playback = new wxMenu;
    playback->AppendCheckItem(215, "S&huffle\tH");
    playback->Check(215, true);
    playback->Append(201, "Play/Pause\tSpace");
    bar.Append(file, "&File");
    bar.Append(playback, "&Playback");

    TranslateMenu(&bar);
    TranslateMenu(&bar);  // a French menu translated again is unchanged

    EXPECT_EQ(file->GetLabel(101), "&Ouvrir...\tCtrl+O");
    // The shortcut stays one the toolkit can read and show.
    EXPECT_EQ(playback->GetLabel(201), "Lecture/Pause\tSpace");
    const std::unique_ptr<wxAcceleratorEntry> accel(playback->FindItem(201)->GetAccel());
    EXPECT_NE(accel, nullptr);
    EXPECT_EQ(file->GetLabel(990), "My Song.mp3");
    EXPECT_TRUE(playback->IsChecked(215));
    EXPECT_FALSE(recent->IsEnabled(6000));
    EXPECT_EQ(file->FindItem(6000)->GetId(), 6000);
}

TEST_F(TranslateWxTest, DialogLabelsAndTitleButNotItsData)
{
    auto* dialog = new wxDialog(nullptr, wxID_ANY, "Song History");
    auto* panel = new wxPanel(dialog);
    auto* label = new wxStaticText(panel, wxID_ANY, "Speech");
    auto* cancel = new wxButton(dialog, wxID_CANCEL, "BTN_CANCEL");
    auto* entry = new wxTextCtrl(panel, wxID_ANY, "Playing");  // a user's text, not a label
    const wxString items[] = {"Playing"};
    auto* list = new wxListBox(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, 1, items);

    TranslateDialog(dialog);

    EXPECT_EQ(dialog->GetTitle(), wxString::FromUTF8("Historique des morceaux"));
    EXPECT_EQ(label->GetLabel(), "Voix");
    EXPECT_EQ(cancel->GetLabel(), "Annuler");
    EXPECT_EQ(entry->GetValue(), "Playing");
    EXPECT_EQ(list->GetString(0), "Playing");
    dialog->Destroy();
}

}  // namespace
