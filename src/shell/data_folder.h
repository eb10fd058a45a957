// The data folder: the application-data folder + "Auralith". Every file of
// the suite's index and of this system's caches is addressed through here.
#pragma once
#include <string>

// "<application data>\Auralith" without a trailing backslash.
std::wstring data_folder();
// "<application data>\Auralith\<name>".
std::wstring data_file_path(const std::wstring& name);
// Builds and creates the data folder; a failure is not reported.
void create_data_folder();
