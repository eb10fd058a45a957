// The album pass's decoder slot over a decoder plug-in: select the plug-in
// for the file, Open in the mode the purpose asks for, DecodeBlock, Destroy.
#pragma once
#include "audio/sv_decoder.h"
#include "verify/track_source.h"

class PluginTrackDecoder : public TrackDecoder {
 public:
  // The slot is the worker's; it keeps its plug-in loaded between files.
  explicit PluginTrackDecoder(clSvDecoder& slot) : slot_(slot) {}
  ~PluginTrackDecoder() override { close(); }

  OpenResult open(const std::wstring& path, DecodePurpose purpose, AudioFormat& format) override;
  bool decode_block(DecodedBlock& block) override;
  void close() override;

 private:
  clSvDecoder& slot_;
};
