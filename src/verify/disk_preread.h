// Reading a whole file from disk before it is decoded, one worker at a time
// across the process, so that parallel workers do not make the disk seek
// between their files.
#pragma once
#include <string>

#include "shell/xevent.h"

// Waits for the process-wide disk mutex without limit; then, unless `abort`
// is set, reads the file (shared for reading and writing) to its end in
// pieces, discarding the data. A file that cannot be opened is skipped.
void preread_file_exclusive(const std::wstring& path, const XEvent& abort);
