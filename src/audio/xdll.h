// XDLL: owner of one loaded library module, freed when the object is
// destroyed or loads another one.
#pragma once
#include <windows.h>

#include "library/win_handles.h"

class XDLL {
 public:
  XDLL() = default;
  virtual ~XDLL() = default;
  XDLL(const XDLL&) = delete;
  XDLL& operator=(const XDLL&) = delete;

  // Loads the library at `path`; what else a load resolves is the subclass's.
  virtual bool load(const wchar_t* path) = 0;

  HMODULE module() const { return module_.get(); }
  bool is_loaded() const { return module_.valid(); }

 protected:
  XModule module_;
};
