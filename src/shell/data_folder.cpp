#include "shell/data_folder.h"

#include "library/file_ops.h"
#include "library/known_folders.h"

std::wstring data_folder() { return get_folder(kCsidlAppData) + L"Auralith"; }

std::wstring data_file_path(const std::wstring& name) { return data_folder() + L"\\" + name; }

void create_data_folder() { create_directory_tree(data_folder()); }
