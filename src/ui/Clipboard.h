#pragma once
#include <string>
#include <vector>

// The media on the clipboard: a copied file list first, else text lines
// (paths, folders, stream URLs), in order.
std::vector<std::string> CollectClipboardMedia();
