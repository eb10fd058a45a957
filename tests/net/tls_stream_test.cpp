// The TLS stream against real TLS peers that tls_test_driver.py starts on
// loopback: its ports and the test CA arrive in the environment.
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "library/xfile.h"
#include "net/net_errors.h"
#include "net/net_stream_secure.h"

namespace {

using clock_type = std::chrono::steady_clock;

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string portOf(const char* tlsCase) { return env((std::string("TD_TLS_PORT_") + tlsCase).c_str()); }

// The test CA must be in the prefix's machine root store before the process
// starts: the platform reads the trusted roots once, at start-up. The driver
// runs this program with --trust-ca FILE before the tests and --untrust-ca
// FILE after them.
int changeTrust(const char* option, const char* caFile) {
  std::string der;
  const std::string path = caFile;
  if (!load_whole_file(std::wstring(path.begin(), path.end()), der) || der.empty()) return 2;
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!store) return 2;
  PCCERT_CONTEXT added = nullptr;
  BOOL done = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                               static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                               &added);
  if (done && std::string(option) == "--untrust-ca") done = CertDeleteCertificateFromStore(added);
  else if (added) CertFreeCertificateContext(added);
  CertCloseStore(store, 0);
  return done ? 0 : 2;
}

// The peers reverse each line they get; reads one reply line.
std::string exchangeLine(Kx::netStreamBase& stream, const std::string& line) {
  stream.write(line.data(), line.size());
  std::string reply;
  char c;
  while (stream.read(&c, 1) == 1 && c != '\n') reply += c;
  return reply;
}

void connectTo(Kx::netStreamSecure& connection, const char* tlsCase) {
  connection.setTimeout(20);
  connection.connect("localhost", portOf(tlsCase), Kx::kConnectTls);
}

TEST(TlsStream, TrustedChainCarriesDataBothWays) {
  Kx::netStreamSecure connection;
  connectTo(connection, "GOOD");
  EXPECT_TRUE(connection.queryInterface(Kx::kTlsStreamInterface));
  EXPECT_EQ(exchangeLine(connection, "tallydisc\n"), "csidyllat");
  // More than one record (16 KiB) each way.
  std::string lines, expected;
  for (int i = 1000; i < 4000; ++i) {
    lines += "n" + std::to_string(i) + "\n";
    std::string reversed = std::to_string(i);
    expected += std::string(reversed.rbegin(), reversed.rend()) + "n\n";
  }
  connection.write(lines.data(), lines.size());
  std::string replies(expected.size(), '\0');
  EXPECT_EQ(connection.read(replies.data(), replies.size()), expected.size());
  EXPECT_EQ(replies, expected);
  connection.close();
  EXPECT_FALSE(connection.isOpen());
}

TEST(TlsStream, ExpiredCertificateIsAnAuthenticationErrorWithItsStatus) {
  Kx::netStreamSecure connection;
  try {
    connectTo(connection, "EXPIRED");
    FAIL() << "connected";
  } catch (const Kx::exception_network_authentication& e) {
    const std::string text = e.what();
    EXPECT_EQ(text.rfind("Network authentication error", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with(" (80090328)")) << text;
  }
  EXPECT_EQ(connection.innerStream(), nullptr);
}

TEST(TlsStream, RefusedCertificates) {
  struct Case {
    const char* tlsCase;
    std::uint32_t status;
  };
  const Case cases[] = {
      {"UNKNOWN", 0x800B0109},    // untrusted root
      {"WRONGHOST", 0x800B010F},  // name does not match
      {"PARTIAL", 0x800B010A},    // the chain stops before a trusted root
  };
  for (const Case& c : cases) {
    Kx::netStreamSecure connection;
    try {
      connectTo(connection, c.tlsCase);
      ADD_FAILURE() << c.tlsCase << ": connected";
    } catch (const Kx::exception_network_authentication& e) {
      EXPECT_EQ(e.status(), c.status) << c.tlsCase << ": " << e.what();
    }
  }
}

TEST(TlsStream, SkippingChecksConnectsToEveryCertificate) {
  for (const char* tlsCase : {"EXPIRED", "UNKNOWN", "WRONGHOST"}) {
    Kx::netStreamSecure connection;
    std::string askedFor;
    connection.setCertificateDecision([&](const std::string& host) {
      askedFor = host;
      return true;
    });
    connectTo(connection, tlsCase);
    EXPECT_EQ(askedFor, "localhost");
    EXPECT_EQ(exchangeLine(connection, "ok\n"), "ko") << tlsCase;
  }
}

TEST(TlsStream, PeerClosingMidRecordIsANetworkError) {
  Kx::netStreamSecure connection;
  connection.setCertificateDecision([](const std::string&) { return true; });
  connectTo(connection, "MIDRECORD");
  connection.write("hello\n", 6);
  char buffer[8192];
  try {
    connection.read(buffer, sizeof buffer);
    FAIL() << "read a cut record";
  } catch (const Kx::exception_network_authentication& e) {
    FAIL() << "authentication error for a transport failure: " << e.what();
  } catch (const Kx::network_error& e) {
    EXPECT_STREQ(e.what(), "network error");
  }
}

TEST(TlsStream, UnreachableRevocationServerNeitherFailsNorHangs) {
  for (const char* tlsCase : {"CRL_REFUSED", "CRL_HANG"}) {
    const auto start = clock_type::now();
    Kx::netStreamSecure connection;
    connectTo(connection, tlsCase);
    EXPECT_EQ(exchangeLine(connection, "up\n"), "pu") << tlsCase;
    EXPECT_LT(clock_type::now() - start, std::chrono::seconds(30)) << tlsCase;
  }
}

TEST(TlsStream, TlsOverATunnelledConnection) {
  Kx::netStreamSecure connection;
  connection.setTimeout(20);
  std::string tunnelTo;
  // The opener stands in for a proxy's tunnel: it leaves a plain stream
  // connected straight to the TLS peer.
  connection.setProxy("http://proxy.test:3128", [&](Kx::netStreamSecure& c, const std::string& host,
                                                    const std::string& service) {
    tunnelTo = host + ":" + service;
    auto inner = c.provider().createPlainStream();
    inner->setTimeout(20);
    inner->connect("127.0.0.1", service, 0);
    c.setInnerStream(inner);
  });
  connection.connect("localhost", portOf("GOOD"), Kx::kConnectTls);
  EXPECT_EQ(tunnelTo, "localhost:" + portOf("GOOD"));
  EXPECT_TRUE(connection.queryInterface(Kx::kTlsStreamInterface));
  EXPECT_EQ(exchangeLine(connection, "tunnel\n"), "lennut");
}

TEST(TlsStream, SecuringAConnectedStreamWithBorrowedCredentials) {
  Kx::secureNetStreamProvider& provider = Kx::defaultSecureProvider();
  const auto lender = provider.createSecureStream(0);
  lender->setTimeout(20);
  lender->connect("localhost", portOf("GOOD"), Kx::kConnectTls);
  EXPECT_EQ(exchangeLine(*lender, "one\n"), "eno");
  lender->close();  // the peer serves one connection at a time
  const auto plain = provider.createPlainStream();
  plain->setTimeout(20);
  plain->connect("localhost", portOf("GOOD"), 0);
  const auto secured = provider.secureExistingStream(plain, "localhost", 0, lender.get());
  EXPECT_EQ(exchangeLine(*secured, "two\n"), "owt");
}

TEST(TlsStream, PeerCloseNotifyIsEndOfStream) {
  Kx::netStreamSecure connection;
  connectTo(connection, "GOOD");
  // The reversing peer answers "CLOSE" by ending the session properly.
  connection.write("CLOSE\n", 6);
  char buffer[64];
  const std::size_t got = connection.read(buffer, sizeof buffer);
  EXPECT_LT(got, sizeof buffer);
  EXPECT_EQ(connection.readSome(buffer, sizeof buffer), 0);
}

TEST(TlsStream, BeforeTheHandshake) {
  const auto stream = Kx::defaultSecureProvider().createSecureStream(0);
  char byte;
  EXPECT_EQ(stream->readSome(&byte, 1), -1);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  EXPECT_THROW(stream->addSocketHook([](Kx::socketHandleValue, int) {}), Kx::not_implemented);
  EXPECT_TRUE(stream->queryInterface(Kx::kTlsStreamInterface));
  EXPECT_FALSE(Kx::defaultSecureProvider().createPlainStream()->queryInterface(Kx::kTlsStreamInterface));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && (std::string(argv[1]) == "--trust-ca" || std::string(argv[1]) == "--untrust-ca"))
    return changeTrust(argv[1], argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
