// The album lists that a run fills and the main window counts: album
// positions in the run's album vector.
#pragma once
#include <cstddef>
#include <unordered_set>
#include <vector>

class TDAlbumList {
 public:
  void add(std::size_t album) {
    items_.push_back(album);
    members_.insert(album);
  }
  // Adds unless the album is in the list already.
  void add_once(std::size_t album) {
    if (!contains(album)) add(album);
  }
  bool contains(std::size_t album) const { return members_.count(album) != 0; }
  const std::vector<std::size_t>& items() const { return items_; }
  std::size_t size() const { return items_.size(); }
  void clear() {
    items_.clear();
    members_.clear();
  }

 private:
  std::vector<std::size_t> items_;
  std::unordered_set<std::size_t> members_;
};

struct TDAlbumLists {
  TDAlbumList accurate;
  TDAlbumList with_errors;
  TDAlbumList not_present;
  TDAlbumList cannot_check;
  TDAlbumList user_excluded;
};
