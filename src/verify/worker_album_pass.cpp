#include "verify/worker_album_pass.h"

#include "verify/disk_preread.h"
#include "verify/plugin_track_decoder.h"

namespace {
class WorkerHost : public AlbumPassHost {
 public:
  WorkerHost(const XEvent& abort, clSvDecoder& slot) : abort_(abort), decoder_(slot) {}
  bool abort_signalled() override { return abort_.is_set(); }
  void preread_file(const std::wstring& path) override { preread_file_exclusive(path, abort_); }
  TrackDecoder& decoder() override { return decoder_; }

 private:
  const XEvent& abort_;
  PluginTrackDecoder decoder_;
};
}  // namespace

AlbumPassResult run_album_pass(const std::vector<TDTrackCheck>& tracks, bool require_two, const XEvent& abort,
                               clSvDecoder& slot) {
  WorkerHost host(abort, slot);
  AlbumPass pass(host, require_two);
  return pass.run(tracks);
}
