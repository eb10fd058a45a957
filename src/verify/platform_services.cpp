#include "verify/platform_services.h"

#include "audio/sv_decoder.h"
#include "covers/cover_decoder.h"
#include "verify/lookup_service.h"
#include "verify/record_fetch.h"
#include "verify/worker_album_pass.h"

VerificationServices platform_verification_services() {
  VerificationServices s;
  s.lookup = [](std::vector<TDLookupItem>& batch) { return lookupDiscIds(batch); };
  s.fetch_and_read = fetch_and_read_records;
  s.run_album_pass = [](const std::vector<TDTrackCheck>& tracks, bool require_two, const XEvent& stop) {
    clSvDecoder slot;  // the worker's own, reused for every file of the album
    return run_album_pass(tracks, require_two, stop, slot);
  };
  s.decode_cover = [](ByteView bytes, int edge) { return decode_cover_thumbnail(bytes, edge); };
  return s;
}
