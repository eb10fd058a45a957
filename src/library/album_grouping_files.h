// The album grouping over the index files of a data folder.
#pragma once
#include <string>

#include "library/album_grouping.h"
#include "library/index_files.h"

// Maps AlbumArts.bin and InfPropsNTags.bin of `folder` for the walk (they
// are unmapped when it returns or throws) and groups `tables` into albums.
// Throws exception_index_corrupted for files that cannot be mapped or
// entries outside them.
void group_library_albums(const std::wstring& folder, const LibraryIndexTables& tables,
                          const GroupingOptions& options, const GroupingHooks& hooks, AlbumGroupingTables& albums);
