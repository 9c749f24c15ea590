#pragma once
// Translating wx menus and dialogs in place through Translate.
class wxMenu;
class wxMenuBar;
class wxWindow;

// Item labels of a menu and all its submenus; ids, states and submenus stay.
void TranslateMenu(wxMenu* menu);
// The menu bar's own titles, then every menu under them.
void TranslateMenu(wxMenuBar* menuBar);

// The labels of every child control (nested panels included) and then the
// window's own title. Text entries and the items of lists and choices hold
// data, not labels, and are left alone.
void TranslateDialog(wxWindow* window);
