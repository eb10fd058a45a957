// Building JSON text: quoted, escaped UTF-8 strings.
#pragma once
#include <string>

std::string json_string(const std::wstring& text);
