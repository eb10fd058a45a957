// The reduction of the watch-folder list: a folder that lies inside another
// listed folder is dropped, since the scanner already walks it.
#pragma once
#include <string>
#include <vector>

// Compares folders in a normal form (ASCII letters lower-cased, trailing
// backslashes removed). An entry goes when one of its parent folders equals
// another entry; the others keep their order and text, and two entries of
// the same normal form both stay.
std::vector<std::wstring> reduce_watch_folders(const std::vector<std::wstring>& folders);
