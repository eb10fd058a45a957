#include "net/http_auth.h"

#include <gtest/gtest.h>

#include "net/base64.h"

using namespace Kx;

namespace {
const std::string kNonce = "dcd98b7102dd2f0e8b11d0f600bfb0c093";
const std::string kOpaque = "5ccc069c403ebaf9f0171e9517f40e41";
const std::string kBasic = "Basic TXVmYXNhOkNpcmNsZSBPZiBMaWZl";  // Mufasa:Circle Of Life

std::string answer(const std::vector<std::string>& challenges, const std::string& credentials = "Mufasa:Circle Of Life",
                   const std::string& method = "GET") {
  return authorizationValue(method, challenges, credentials, "/dir/index.html", [] { return std::string("0a4f113b"); });
}
}  // namespace

TEST(Base64, PaddingForms) {
  EXPECT_EQ(base64Encode(""), "");
  EXPECT_EQ(base64Encode("f"), "Zg==");
  EXPECT_EQ(base64Encode("fo"), "Zm8=");
  EXPECT_EQ(base64Encode("foo"), "Zm9v");
  EXPECT_EQ(base64Encode("\xFF\xFE\xFD\xFC"), "//79/A==");
}

TEST(ChallengeTokens, BlanksAndCommasOutsideQuotes) {
  EXPECT_EQ(challengeTokens("Digest realm=\"a, b c\",nonce=\"x\" ,  qop=auth"),
            (std::vector<std::string>{"Digest", "realm=\"a, b c\"", "nonce=\"x\"", "qop=auth"}));
}

TEST(DigestAuth, ReferenceExampleComputedExactly) {
  EXPECT_EQ(answer({"Digest realm=\"testrealm@host.com\", qop=\"auth\", nonce=\"" + kNonce + "\", opaque=\"" + kOpaque +
                    "\""}),
            "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", nonce=\"" + kNonce +
                "\", uri=\"/dir/index.html\", qop=auth, nc=00000001, cnonce=\"0a4f113b\", "
                "response=\"6629fae49393a05397450978507c4ef1\", opaque=\"" + kOpaque + "\"");
}

TEST(DigestAuth, WithoutQopAndWithSessionHash) {
  EXPECT_EQ(answer({"digest nonce=\"" + kNonce + "\", realm=\"testrealm@host.com\""}),
            "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", nonce=\"" + kNonce +
                "\", uri=\"/dir/index.html\", response=\"670fd8c2df070c60b045671b8b24ff02\"");
  EXPECT_EQ(answer({"Digest realm=\"testrealm@host.com\", algorithm=MD5-sess, qop=\"auth\", nonce=\"" + kNonce + "\""}),
            "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", nonce=\"" + kNonce +
                "\", uri=\"/dir/index.html\", qop=auth, nc=00000001, cnonce=\"0a4f113b\", "
                "response=\"8e3825c57e897f5a0dec6c2d4e5059d0\"");
}

TEST(DigestAuth, UnanswerableChallengesFallBack) {
  const std::string realmNonce = "realm=\"r\", nonce=\"n\"";
  struct Case {
    std::vector<std::string> challenges;
    std::string credentials;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest " + realmNonce + ", qop=\"auth,auth-int\""}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest " + realmNonce + ", algorithm=\"MD5\""}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest " + realmNonce + ", algorithm=SHA-256"}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest realm=\"r\""}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest nonce=\"n\", realm=unquoted"}, "Mufasa:Circle Of Life", kBasic},
      {{"Digest " + realmNonce}, "Mufasa", "Basic TXVmYXNh"},  // no password
      {{"Negotiate", "Basic realm=\"b\""}, "Mufasa:Circle Of Life", kBasic},
      {{"", "NTLM"}, "Mufasa:Circle Of Life", kBasic},
  };
  for (const Case& c : cases) EXPECT_EQ(answer(c.challenges, c.credentials), c.expected) << c.challenges.size();
  // The first answerable challenge wins.
  EXPECT_EQ(answer({"Bearer x", "Digest " + realmNonce, "Basic realm=\"b\""}).rfind("Digest username=\"Mufasa\"", 0), 0u);
}
