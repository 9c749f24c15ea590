#pragma once
// The media a paste brings: a copied file list first, else lines of text.
#include <string>
#include <vector>

// files: the clipboard's file list (paths, in order); text: its Unicode text.
// Folders are scanned recursively; text may also carry stream URLs.
std::vector<std::string> MediaFromClipboard(const std::vector<std::string>& files, const std::string& text);
