// Where the built programs and the sources are, as Windows paths.
#pragma once
#include <string>

// A host path ("/work/x") as wine sees it ("Z:\work\x").
std::wstring host_to_windows_path(const std::string& host_path);
// The runtime layout of the build (programs, decoder\), with a trailing "\".
std::wstring dist_folder();
// The source tree, with a trailing "\".
std::wstring source_folder();
