// Reads audio files for the scanner through the decoder plug-ins, the same
// way the verification engine does.
#pragma once
#include <map>

#include "audio/sv_decoder.h"
#include "audio_reader.h"

class PluginAudioReader : public AudioReader {
 public:
  bool reads_extension(const std::wstring& extension) override;
  std::optional<ScannedAudio> read(const std::wstring& path, bool decode) override;

 private:
  clSvDecoder slot_;
  std::map<std::wstring, bool> extensions_;  // lower case -> a plug-in reads it
};
