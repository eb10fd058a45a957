#include "library/album_grouping_files.h"

void group_library_albums(const std::wstring& folder, const LibraryIndexTables& tables,
                          const GroupingOptions& options, const GroupingHooks& hooks, AlbumGroupingTables& albums) {
  const MappedIndexFiles mapped(folder);
  group_albums({tables.file_names, tables.file_index, tables.art_index, mapped.inf_props_n_tags(), mapped.album_arts()},
               options, hooks, albums);
}
