// The TCP stream, the connection object over it and XTCPSocket, against
// scripted peers on loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "loopback_listener.h"
#include "net/abort_signal.h"
#include "net/net_errors.h"
#include "net/net_stream.h"
#include "net/net_stream_secure.h"
#include "net/xtcp_socket.h"

namespace {

using clock_type = std::chrono::steady_clock;

std::string portText(unsigned short port) { return std::to_string(port); }

TEST(NetStream, RefusedPortGivesTheConnectFormOfTheSocketError) {
  Kx::netStream stream;
  stream.setTimeout(10);
  try {
    stream.connect("127.0.0.1", portText(refusedPort()), 0);
    FAIL() << "connected to a closed port";
  } catch (const Kx::network_error_connect& e) {
    EXPECT_STREQ(e.what(), "could not connect: network error (10061)");
  }
}

TEST(NetStream, TlsIsNotItsBusiness) {
  Kx::netStream stream;
  EXPECT_THROW(stream.connect("127.0.0.1", "1", Kx::kConnectTls), Kx::not_implemented);
}

Kx::resolvedAddress loopbackAddress(int family, unsigned short port) {
  Kx::resolvedAddress address;
  address.family = family;
  address.type = SOCK_STREAM;
  address.protocol = IPPROTO_TCP;
  if (family == AF_INET6) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    a.sin6_port = htons(port);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&a);
    address.bytes.assign(bytes, bytes + sizeof a);
  } else {
    sockaddr_in a{};
    a.sin_family = static_cast<short>(family);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&a);
    address.bytes.assign(bytes, bytes + sizeof a);
  }
  return address;
}

TEST(NetStream, AHostWhoseFirstAddressFailsConnectsThroughTheNext) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) { send(s, "hi", 2, 0); });
  Kx::netStream stream;
  stream.setTimeout(10);
  std::vector<int> phases;
  stream.addSocketHook([&](Kx::socketHandleValue, int phase) { phases.push_back(phase); });
  // An address of another family is skipped without a socket being made.
  stream.connectAddresses({loopbackAddress(AF_APPLETALK, 1), loopbackAddress(AF_INET6, refusedPort()),
                           loopbackAddress(AF_INET, server.port())});
  EXPECT_EQ(phases, (std::vector<int>{1, 1, 2}));
  char reply[2];
  EXPECT_EQ(stream.read(reply, 2), 2u);
}

TEST(NetStream, WhenEveryAddressFailsTheLastErrorIsThrown) {
  Kx::netStream stream;
  stream.setTimeout(10);
  try {
    stream.connectAddresses({loopbackAddress(AF_INET6, refusedPort()), loopbackAddress(AF_INET, refusedPort())});
    FAIL() << "connected";
  } catch (const Kx::network_error_connect& e) {
    EXPECT_STREQ(e.what(), "could not connect: network error (10061)");
  }
  try {
    stream.connectAddresses({loopbackAddress(AF_APPLETALK, 1)});
    FAIL() << "connected";
  } catch (const Kx::network_error_connect& e) {
    EXPECT_STREQ(e.what(), "could not connect");
  }
}

TEST(NetStream, ZeroTimeOutMakesAWaitingReadThrowAtOnce) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) { drain(s); });
  Kx::netStream stream;
  stream.setTimeout(10);
  stream.connect("127.0.0.1", portText(server.port()), 0);
  stream.setTimeout(0);
  char byte;
  const auto start = clock_type::now();
  EXPECT_THROW(stream.read(&byte, 1), Kx::network_error_timeout);
  EXPECT_LT(clock_type::now() - start, std::chrono::milliseconds(500));
  EXPECT_FALSE(stream.canRead());
  EXPECT_TRUE(stream.canWrite());
  stream.close();
  EXPECT_FALSE(stream.isOpen());
}

TEST(NetStream, AbortFromAnotherThreadEndsABlockedRead) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) { drain(s); });
  Kx::netStream stream;
  stream.setTimeout(-1);
  stream.connect("127.0.0.1", portText(server.port()), 0);
  Kx::abortSignal signal;
  Kx::abortSignalScope scope(signal);
  clock_type::time_point abortedAt;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    abortedAt = clock_type::now();
    signal.abort();
  });
  char byte;
  EXPECT_THROW(stream.read(&byte, 1), Kx::user_abort);
  const auto ended = clock_type::now();
  canceller.join();
  EXPECT_LT(ended - abortedAt, std::chrono::milliseconds(400));
}

TEST(NetStream, ReadCollectsUntilFullOrClosed) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) {
    send(s, "abc", 3, 0);
    Sleep(50);
    send(s, "defg", 4, 0);
    shutdown(s, SD_SEND);
    drain(s);
  });
  Kx::netStream stream;
  stream.setTimeout(10);
  stream.connect("127.0.0.1", portText(server.port()), 0);
  char buffer[16] = {};
  EXPECT_EQ(stream.read(buffer, 5), 5u);
  EXPECT_EQ(stream.read(buffer + 5, 10), 2u);
  EXPECT_EQ(std::string(buffer, 7), "abcdefg");
  EXPECT_EQ(stream.readSome(buffer, sizeof buffer), 0);
}

// A peer that answers at once (like a server refusing an upload) and then
// keeps reading whatever comes.
void answerEarlyThenDrain(SOCKET s) {
  const char reply[] = "HTTP/1.1 413 Too Large\r\n\r\n";
  send(s, reply, sizeof reply - 1, 0);
  drain(s);
}

TEST(NetStream, WriteUntilReplyStopsWhenThePeerAnswersEarly) {
  LoopbackListener server;
  server.serveOnce(answerEarlyThenDrain);
  Kx::netStream stream;
  stream.setTimeout(10);
  stream.connect("127.0.0.1", portText(server.port()), 0);
  while (!stream.canRead()) Sleep(10);
  const std::vector<char> body(8 << 20, 'b');
  EXPECT_LT(stream.writeUntilReply(body.data(), body.size()), body.size());
  EXPECT_EQ(stream.writeUntilReply(body.data(), 0), 0u);
  stream.close();
}

TEST(NetStreamSecure, WriteUntilReplyWritesEverything) {
  LoopbackListener server;
  server.serveOnce(answerEarlyThenDrain);
  Kx::netStreamSecure connection;
  connection.setTimeout(10);
  connection.connect("127.0.0.1", portText(server.port()), 0);
  while (!connection.canRead()) Sleep(10);
  const std::vector<char> body(8 << 20, 'b');
  EXPECT_EQ(connection.writeUntilReply(body.data(), body.size()), body.size());
  connection.close();
}

TEST(NetStreamSecure, WithoutInnerStream) {
  Kx::netStreamSecure connection;
  char byte = 0;
  const auto expectNotOpen = [](auto&& call) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Socket not open");
    }
  };
  expectNotOpen([&] { connection.read(&byte, 1); });
  expectNotOpen([&] { connection.readSome(&byte, 1); });
  expectNotOpen([&] { connection.receiveRaw(&byte, 1); });
  expectNotOpen([&] { connection.write(&byte, 1); });
  expectNotOpen([&] { connection.writeSome(&byte, 1); });
  expectNotOpen([&] { connection.socketHandle(); });
  EXPECT_FALSE(connection.canRead());
  EXPECT_FALSE(connection.canWrite());
  EXPECT_FALSE(connection.isOpen());
  EXPECT_NO_THROW(connection.checkError());
  EXPECT_NO_THROW(connection.shutdown(Kx::kShutdownBoth));
}

TEST(NetStreamSecure, FailedConnectDropsTheInnerStreamAndReconnectWorks) {
  Kx::netStreamSecure connection;
  connection.setTimeout(10);
  std::vector<int> phases;
  connection.addSocketHook([&](Kx::socketHandleValue, int phase) { phases.push_back(phase); });
  EXPECT_THROW(connection.connect("127.0.0.1", portText(refusedPort()), 0), Kx::network_error_connect);
  EXPECT_EQ(connection.innerStream(), nullptr);
  LoopbackListener server;
  server.serveOnce([](SOCKET s) { send(s, "ok", 2, 0); });
  connection.connect("127.0.0.1", portText(server.port()), 0);
  char reply[2];
  EXPECT_EQ(connection.read(reply, 2), 2u);
  EXPECT_EQ(phases, (std::vector<int>{1, 1, 2}));
}

TEST(NetStreamSecure, ProxyInUseRunsTheTunnelOpenerOnTheSameObject) {
  LoopbackListener proxy;
  proxy.serveOnce([](SOCKET s) { send(s, "tunnel", 6, 0); });
  Kx::netStreamSecure connection;
  std::string askedFor;
  connection.setProxy("http://127.0.0.1:" + portText(proxy.port()),
                      [&](Kx::netStreamSecure& c, const std::string& host, const std::string& service) {
                        askedFor = host + ":" + service;
                        auto inner = c.provider().createPlainStream();
                        inner->connect("127.0.0.1", portText(proxy.port()), 0);
                        c.setInnerStream(inner);
                      });
  connection.connect("example.test", "80", 0);
  EXPECT_EQ(askedFor, "example.test:80");
  char reply[6];
  EXPECT_EQ(connection.read(reply, 6), 6u);
}

TEST(XTCPSocket, SignalledAbortEventEndsReceiveWithConnectionAborted) {
  XTCPSocket socket;
  HANDLE abort = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  char buffer[4];
  EXPECT_EQ(socket.receive(buffer, sizeof buffer, abort), -1);
  EXPECT_EQ(WSAGetLastError(), 10053);
  CloseHandle(abort);
}

TEST(XTCPSocket, ExchangesBytesAndReportsClose) {
  LoopbackListener server;
  std::string got;
  server.serveOnce([&](SOCKET s) {
    char buffer[64];
    const int n = recv(s, buffer, sizeof buffer, 0);
    got.assign(buffer, n > 0 ? n : 0);
    send(s, "reply", 5, 0);
  });
  XTCPSocket socket;
  socket.sendIdleTimeoutMs = 45000;
  ASSERT_TRUE(socket.open(L"Auralith", L"127.0.0.1", server.port(), L""));
  EXPECT_EQ(socket.receiveIdleTimeoutMs, XTCPSocket::kDefaultReceiveIdleTimeoutMs);
  EXPECT_GE(socket.sendPieceSize, 8192u);
  ASSERT_TRUE(socket.send("ping", 4));
  char buffer[16];
  int n = 0;
  std::string reply;
  while ((n = socket.receive(buffer, sizeof buffer, nullptr)) > 0) reply.append(buffer, n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(reply, "reply");
  EXPECT_EQ(got, "ping");
}

// Counts the traffic it is told about; refuses to go on once `stop` is set.
class CountingThrottle : public XNetThrottle {
 public:
  void onSent(std::uint32_t n) override { sent += n; }
  void onReceived(std::uint32_t n) override { received += n; }
  bool pause(std::uint32_t ms) override { return !stop && XNetThrottle::pause(ms); }
  std::uint32_t sent = 0, received = 0;
  bool stop = false;
};

TEST(XTCPSocket, ThrottleSeesTheTrafficAndCanStopIt) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) {
    char buffer[64];
    recv(s, buffer, sizeof buffer, 0);
    send(s, "0123456789", 10, 0);
    drain(s);
  });
  XTCPSocket socket;
  socket.sendIdleTimeoutMs = 45000;
  CountingThrottle throttle;
  socket.throttle = &throttle;
  ASSERT_TRUE(socket.open(L"Auralith", L"127.0.0.1", server.port(), L""));
  ASSERT_TRUE(socket.send("abcd", 4));
  char buffer[16];
  int got = 0;
  while (got < 10) {
    const int n = socket.receive(buffer, sizeof buffer, nullptr);
    ASSERT_GT(n, 0);
    got += n;
  }
  EXPECT_EQ(throttle.sent, 4u);
  EXPECT_EQ(throttle.received, 10u);
  throttle.stop = true;
  EXPECT_FALSE(socket.send("more", 4));
  EXPECT_EQ(socket.receive(buffer, sizeof buffer, nullptr), -1);
  EXPECT_EQ(WSAGetLastError(), WSAECONNABORTED);
  socket.close();
}

TEST(XTCPSocket, OpenFailsForARefusedPortAndAnUnknownHost) {
  XTCPSocket socket;
  EXPECT_FALSE(socket.open(L"Auralith", L"127.0.0.1", refusedPort(), L""));
  EXPECT_FALSE(socket.open(L"Auralith", L"no-such-host.invalid", 80, L""));
  EXPECT_FALSE(socket.isOpen());
}

TEST(XTCPSocket, ReceiveGivesUpAfterTheIdleTimeOut) {
  LoopbackListener server;
  server.serveOnce([](SOCKET s) { drain(s); });
  XTCPSocket socket;
  ASSERT_TRUE(socket.open(L"Auralith", L"127.0.0.1", server.port(), L""));
  socket.receiveIdleTimeoutMs = 200;
  char buffer[4];
  EXPECT_EQ(socket.receive(buffer, sizeof buffer, nullptr), -1);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  socket.close();
}

}  // namespace
