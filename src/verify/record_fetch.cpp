#include "verify/record_fetch.h"

#include <winsock2.h>
#include <windows.h>

#include "library/file_ops.h"
#include "library/xfile.h"
#include "net/server_address.h"
#include "net/xtcp_socket.h"
#include "shell/settings_store.h"
#include "verify/record_cache.h"
#include "verify/record_fetch_rules.h"
#include "verify/record_reader.h"

namespace {

constexpr std::uint32_t kSendIdleTimeoutMs = 45000;
constexpr std::size_t kInitialReplyCapacity = 20000;
constexpr std::uint32_t kReceivePiece = 1024;

std::string to_ansi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The whole reply of one request, or false on a network failure or a reply
// beyond kMaxRecordReply.
bool receive_reply(XTCPSocket& socket, std::vector<std::uint8_t>& reply, std::size_t& length) {
  reply.resize(kInitialReplyCapacity);
  length = 0;
  const ULONGLONG began = GetTickCount64();
  for (;;) {
    reply.resize(record_reply_capacity(reply.size(), length, kReceivePiece));
    const int got = socket.receive(reply.data() + length, kReceivePiece, nullptr);
    if (got > 0) {
      length += static_cast<std::size_t>(got);
      if (length > kMaxRecordReply) return false;
      continue;
    }
    if (got == 0) return true;
    const bool within_idle_time =
        socket.receiveIdleTimeoutMs != 0 && GetTickCount64() - began <= socket.receiveIdleTimeoutMs;
    if (within_idle_time && WSAGetLastError() == WSAEWOULDBLOCK) continue;
    return false;
  }
}

RecordFetchOutcome download_record(const ServerAddress& server, const std::wstring& identifier,
                                   const std::wstring& cache_path) {
  create_directory_tree(cache_path.substr(0, cache_path.rfind(L'\\')));
  XTCPSocket socket;
  socket.sendIdleTimeoutMs = kSendIdleTimeoutMs;
  if (!socket.open(kRecordAgentName, server.host, server.port, L"")) return RecordFetchOutcome::kFailed;
  const std::string request = to_ansi(record_request(record_server_path(identifier), server.host, server.port));
  if (!socket.send(request.data(), static_cast<std::uint32_t>(request.size())) || !socket.isOpen())
    return RecordFetchOutcome::kFailed;
  std::vector<std::uint8_t> reply;
  std::size_t length = 0;
  if (!receive_reply(socket, reply, length)) return RecordFetchOutcome::kFailed;
  socket.close();

  const RecordReply parsed = parse_record_reply(reply.data(), length);
  switch (judge_record_reply(parsed)) {
    case RecordReplyVerdict::kStore:
      // A write failure is not a fetch failure: the record came, and the
      // reader finds out what is on disk.
      store_record_cache_file(cache_path, reply.data() + parsed.body_offset, parsed.body_length);
      return RecordFetchOutcome::kDownloaded;
    case RecordReplyVerdict::kNotPresent:
      return RecordFetchOutcome::kAbsent;
    case RecordReplyVerdict::kNetworkFailure:
      break;
  }
  return RecordFetchOutcome::kFailed;
}

}  // namespace

std::vector<RecordFetchItem> fetch_record_items(const std::wstring& identifier_list) {
  const ServerAddress server =
      server_address_or_default(read_setting_string(setting::kDatabaseServer), kRecordServerHost, kRecordServerPort);
  std::vector<RecordFetchItem> items;
  for (std::wstring& identifier : split_identifier_list(identifier_list)) {
    RecordFetchItem item;
    item.identifier = std::move(identifier);
    if (is_valid_disc_identifier(item.identifier)) {
      item.cache_path = record_cache_path(item.identifier);
      item.outcome = is_record_cache_file_fresh(item.cache_path)
                         ? RecordFetchOutcome::kFresh
                         : download_record(server, item.identifier, item.cache_path);
    }
    items.push_back(std::move(item));
  }
  return items;
}

bool fetch_records(const std::wstring& identifier_list, bool& network_failure,
                   std::vector<std::wstring>& cache_paths) {
  network_failure = false;
  bool available = false;
  for (const RecordFetchItem& item : fetch_record_items(identifier_list)) {
    if (item.outcome == RecordFetchOutcome::kInvalid) continue;
    cache_paths.push_back(item.cache_path);
    available |= item.outcome == RecordFetchOutcome::kFresh || item.outcome == RecordFetchOutcome::kDownloaded;
    network_failure |= item.outcome == RecordFetchOutcome::kFailed;
  }
  return available;
}

bool fetch_and_read_records(const std::wstring& identifier_list, std::vector<TDTrackCheck>& tracks,
                            bool& network_failure) {
  std::vector<std::wstring> paths;
  if (!fetch_records(identifier_list, network_failure, paths)) return false;
  RecordEntryReader reader(tracks);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    XFile file(paths[i]);
    file.open(GENERIC_READ, OPEN_EXISTING, true);
    if (!file.is_open()) continue;
    reader.read([&file](void* buffer, std::size_t count) { return static_cast<std::size_t>(file.read(buffer, count)); },
                static_cast<std::int32_t>(i));
  }
  return true;
}
