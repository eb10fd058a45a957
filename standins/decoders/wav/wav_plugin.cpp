// decoder\wav.dll: RIFF/WAVE integer PCM, tags in LIST/INFO.
#include <algorithm>

#include "decoder_plugin.h"
#include "info_tags.h"
#include "library/text_convert.h"
#include "riff_file.h"
#include "tag_rewrite.h"

namespace {
// PCM bytes handed out per DecodeBlock call (rounded down to whole frames).
constexpr std::size_t kDecodeBytes = 1 << 18;
// Tags larger than this are not read: no INFO list of real tags comes near it.
constexpr std::uint32_t kMaxInfoListSize = 16 << 20;
// The largest RIFF file: its size field is 32 bits.
constexpr std::uint64_t kMaxRiffSize = 0xFFFFFFFFull;

void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string chunk_bytes(const std::string& id, const std::string& data) {
  std::string out = id;
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  out += data;
  if (data.size() & 1) out.push_back('\0');
  return out;
}

class WavPlugin : public DecoderPlugin {
 public:
  using DecoderPlugin::DecoderPlugin;

  const std::vector<std::wstring>& extensions() const override {
    static const std::vector<std::wstring> list = {L".wav"};
    return list;
  }

 protected:
  bool open_file(const std::wstring& path, std::int32_t mode, AudioFormat& format, ItemList& tags) override {
    file_ = XFile(path);
    file_.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file_.is_open()) {
      message(L"Cannot open " + path);
      return false;
    }
    if (!read_layout(path)) return false;
    format.channels = layout_.channels;
    format.sample_rate = layout_.sample_rate;
    format.bits_per_sample = layout_.bits_per_sample;
    format.sample_count = layout_.data.size / layout_.block_align;
    if (mode == kOpenTags) return read_tags(tags);
    // Whole frames only: a trailing partial frame carries no sample.
    remaining_ = format.sample_count * layout_.block_align;
    position_ = layout_.data.offset + kChunkHeaderSize;
    buffer_.resize(kDecodeBytes / layout_.block_align * layout_.block_align);
    return true;
  }

  bool decode_next(const std::uint8_t*& data, std::size_t& length, bool& end) override {
    if (remaining_ == 0) {
      end = true;
      return true;
    }
    const std::uint64_t n = std::min<std::uint64_t>(remaining_, buffer_.size());
    if (file_.seek(static_cast<std::int64_t>(position_), FILE_BEGIN) != static_cast<std::int64_t>(position_) ||
        file_.read(buffer_.data(), n) != n)
      return false;  // the file ends before its data chunk does
    position_ += n;
    remaining_ -= n;
    data = buffer_.data();
    length = static_cast<std::size_t>(n);
    end = remaining_ == 0;
    return true;
  }

  bool write_tags(const std::wstring& path, const ItemList& changes) override {
    for (const Item& item : changes.items) {
      if (item.name.find(L'=') != std::wstring::npos) {
        message(L"A tag name cannot contain '=': " + item.name);
        return false;
      }
    }
    ItemList tags;
    if (!load_for_rewrite(path, tags)) return false;
    std::erase_if(tags.items, [&](const Item& t) {
      return std::any_of(changes.items.begin(), changes.items.end(),
                         [&](const Item& c) { return info_tag_matches(t.name, c.name); });
    });
    for (const Item& c : changes.items) tags.items.push_back({c.name, c.value, {}});
    return rewrite(path, tags);
  }

  bool remove_tags(const std::wstring& path, const std::vector<std::wstring>* names) override {
    ItemList tags;
    if (!load_for_rewrite(path, tags)) return false;
    if (names == nullptr) {
      tags.items.clear();
    } else {
      std::erase_if(tags.items, [&](const Item& t) {
        return std::any_of(names->begin(), names->end(), [&](const std::wstring& n) { return info_tag_matches(t.name, n); });
      });
    }
    return rewrite(path, tags);
  }

 private:
  bool read_layout(const std::wstring& path) {
    std::wstring reason;
    if (read_wav_layout(file_, layout_, reason)) return true;
    message(reason + L": " + path);
    return false;
  }

  bool read_tags(ItemList& tags) {
    for (const RiffChunk& c : layout_.chunks) {
      if (!c.complete || c.size > kMaxInfoListSize || !is_info_list(file_, c)) continue;
      std::string data;
      if (!read_chunk_data(file_, c, data)) return false;
      append_info_tags(data, tags);
    }
    return true;
  }

  bool load_for_rewrite(const std::wstring& path, ItemList& tags) {
    file_ = XFile(path);
    file_.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file_.is_open()) {
      message(L"Cannot open " + path);
      return false;
    }
    if (!read_layout(path)) return false;
    for (const RiffChunk& c : layout_.chunks) {
      if (!c.complete) {
        // Rewriting a damaged file would make its damage look like the file.
        message(L"The file is cut short, its tags are left alone: " + path);
        return false;
      }
      if (c.size > kMaxInfoListSize && is_info_list(file_, c)) {
        message(L"The tags of the file are too large to rewrite: " + path);
        return false;
      }
    }
    return read_tags(tags);
  }

  // Every chunk but the INFO lists is copied unchanged; the new INFO list
  // goes at the end.
  bool rewrite(const std::wstring& path, const ItemList& tags) {
    std::vector<RewritePiece> pieces;
    pieces.push_back(literal_piece({}));  // the RIFF header, once the size is known
    std::uint64_t size = 4;               // "WAVE"
    for (const RiffChunk& c : layout_.chunks) {
      if (is_info_list(file_, c)) continue;
      const std::uint64_t stored = kChunkHeaderSize + c.size;
      const std::uint64_t in_file = std::min(stored + (c.size & 1u), layout_.file_size - c.offset);
      pieces.push_back(source_piece(c.offset, in_file));
      // The pad byte of a last chunk that lacks it.
      if (in_file < stored + (c.size & 1u)) pieces.push_back(literal_piece(std::string(1, '\0')));
      size += stored + (c.size & 1u);
    }
    if (!tags.items.empty()) {
      const std::string list = chunk_bytes("LIST", build_info_list(tags));
      pieces.push_back(literal_piece(list));
      size += list.size();
    }
    if (size > kMaxRiffSize) {
      message(L"The tags make the file too large for RIFF: " + path);
      return false;
    }
    std::string header = "RIFF";
    put_u32(header, static_cast<std::uint32_t>(size));
    header += "WAVE";
    pieces.front() = literal_piece(header);
    file_.close();
    return rewrite_file(path, pieces, *this);
  }

  XFile file_;
  WavLayout layout_;
  std::uint64_t position_ = 0;
  std::uint64_t remaining_ = 0;
  std::vector<std::uint8_t> buffer_;
};
}  // namespace

DecoderPlugin* make_decoder_plugin(HANDLE message_file) { return new WavPlugin(message_file); }
