// The album pass as a verification worker runs it: decoding through the
// worker's plug-in slot, the worker's abort event, the disk mutex.
#pragma once
#include <string>
#include <vector>

#include "audio/sv_decoder.h"
#include "shell/xevent.h"
#include "verify/album_pass.h"

AlbumPassResult run_album_pass(const std::vector<TDTrackCheck>& tracks, bool require_two, const XEvent& abort,
                               clSvDecoder& slot);
