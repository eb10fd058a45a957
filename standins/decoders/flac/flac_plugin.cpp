// decoder\flac.dll: FLAC decoding through libFLAC, tags in the Vorbis
// comment block.
#include <algorithm>

#include "decoder_plugin.h"
#include "flac_metadata.h"
#include "flac_stream.h"
#include "tag_rewrite.h"
#include "vorbis_tags.h"

namespace {
// Padding left for later tag changes when the old metadata cannot hold the new.
constexpr std::uint32_t kDefaultPadding = 8192;
constexpr char kVendor[] = "Tallydisc FLAC plug-in";

class FlacPlugin : public DecoderPlugin {
 public:
  using DecoderPlugin::DecoderPlugin;

  const std::vector<std::wstring>& extensions() const override {
    static const std::vector<std::wstring> list = {L".flac"};
    return list;
  }

 protected:
  bool open_file(const std::wstring& path, std::int32_t mode, AudioFormat& format, ItemList& tags) override {
    if (!load(path)) return false;
    format.channels = header_.info.channels;
    format.sample_rate = header_.info.sample_rate;
    format.bits_per_sample = header_.info.bits_per_sample;
    format.sample_count = header_.info.total_samples;
    if (mode == kOpenTags) {
      tags = vorbis_fields_to_items(comment().fields);
      return true;
    }
    if (!stream_.start(file_, header_.info)) {
      message(L"Cannot start decoding " + path);
      return false;
    }
    return true;
  }

  bool decode_next(const std::uint8_t*& data, std::size_t& length, bool& end) override {
    return stream_.next(data, length, end);
  }

  bool write_tags(const std::wstring& path, const ItemList& changes) override {
    for (const Item& item : changes.items) {
      if (!valid_vorbis_name(item.name)) {
        message(L"Not a valid FLAC tag name: " + item.name);
        return false;
      }
    }
    if (!load(path)) return false;
    VorbisComment vc = comment();
    std::erase_if(vc.fields, [&](const std::string& f) {
      return std::any_of(changes.items.begin(), changes.items.end(),
                         [&](const Item& c) { return vorbis_field_belongs_to(f, c.name); });
    });
    for (const Item& c : changes.items)
      for (std::string& f : item_to_vorbis_fields(c)) vc.fields.push_back(std::move(f));
    return rewrite(path, vc);
  }

  bool remove_tags(const std::wstring& path, const std::vector<std::wstring>* names) override {
    if (!load(path)) return false;
    VorbisComment vc = comment();
    if (names == nullptr) {
      vc.fields.clear();
    } else {
      std::erase_if(vc.fields, [&](const std::string& f) {
        return std::any_of(names->begin(), names->end(),
                           [&](const std::wstring& n) { return vorbis_field_belongs_to(f, n); });
      });
    }
    return rewrite(path, vc);
  }

 private:
  bool load(const std::wstring& path) {
    file_ = XFile(path);
    file_.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file_.is_open()) {
      message(L"Cannot open " + path);
      return false;
    }
    std::wstring reason;
    if (read_flac_header(file_, header_, reason)) return true;
    message(reason + L": " + path);
    return false;
  }

  // The first Vorbis comment block; a malformed one keeps what it held.
  VorbisComment comment() const {
    VorbisComment vc;
    for (const FlacBlock& b : header_.blocks) {
      if (b.type == kFlacVorbisComment) {
        parse_vorbis_comment(b.body, vc);
        return vc;
      }
    }
    vc.vendor = kVendor;
    return vc;
  }

  // The new file: the old metadata blocks in their order with the new
  // comment in place of the old (or after the stream information), then
  // padding, then the audio frames copied unchanged.
  bool rewrite(const std::wstring& path, const VorbisComment& vc) {
    const std::string comment_body = build_vorbis_comment(vc);
    if (comment_body.size() > kFlacMaxBlockLength) {
      message(L"The tags are too large for a FLAC file: " + path);
      return false;
    }
    struct NewBlock {
      std::uint8_t type;
      std::string body;            // for the comment
      const FlacBlock* old;        // copied from the file
    };
    std::vector<NewBlock> blocks;
    bool placed = false;
    for (const FlacBlock& b : header_.blocks) {
      if (b.type == kFlacPadding) continue;
      if (b.type == kFlacVorbisComment) {
        if (!placed) blocks.push_back({kFlacVorbisComment, comment_body, nullptr});
        placed = true;
        continue;
      }
      blocks.push_back({b.type, {}, &b});
      if (b.type == kFlacStreamInfo && !placed) {
        // Keep the place of an existing comment; otherwise it follows here.
        const bool has_comment = std::any_of(header_.blocks.begin(), header_.blocks.end(),
                                             [](const FlacBlock& x) { return x.type == kFlacVorbisComment; });
        if (!has_comment) {
          blocks.push_back({kFlacVorbisComment, comment_body, nullptr});
          placed = true;
        }
      }
    }
    std::uint64_t metadata = 0;
    for (const NewBlock& b : blocks) metadata += kFlacBlockHeaderSize + (b.old ? b.old->length : b.body.size());
    // The frames stay where they were when the old metadata has room.
    const std::uint64_t old_metadata = header_.audio_offset - header_.marker_offset - 4;
    std::uint64_t padding = kDefaultPadding;
    if (metadata + kFlacBlockHeaderSize <= old_metadata &&
        old_metadata - metadata - kFlacBlockHeaderSize <= kFlacMaxBlockLength)
      padding = old_metadata - metadata - kFlacBlockHeaderSize;

    std::vector<RewritePiece> pieces;
    if (header_.marker_offset != 0) pieces.push_back(source_piece(0, header_.marker_offset));
    pieces.push_back(literal_piece("fLaC"));
    for (const NewBlock& b : blocks) {
      const std::uint32_t length = b.old ? b.old->length : static_cast<std::uint32_t>(b.body.size());
      pieces.push_back(literal_piece(flac_block_header(false, b.type, length) + b.body));
      if (b.old) pieces.push_back(source_piece(b.old->body_offset, b.old->length));
    }
    pieces.push_back(literal_piece(flac_block_header(true, kFlacPadding, static_cast<std::uint32_t>(padding)) +
                                   std::string(static_cast<std::size_t>(padding), '\0')));
    pieces.push_back(source_piece(header_.audio_offset, file_.size() - header_.audio_offset));
    file_.close();
    return rewrite_file(path, pieces, *this);
  }

  XFile file_;
  FlacHeader header_;
  FlacStream stream_;
};
}  // namespace

DecoderPlugin* make_decoder_plugin(HANDLE message_file) { return new FlacPlugin(message_file); }
