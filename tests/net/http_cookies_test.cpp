#include "net/http_cookies.h"

#include <gtest/gtest.h>

#include "net/http_errors.h"

using namespace Kx;

TEST(Cookies, ParsingTrimsAndDefaults) {
  const httpCookie c = parseSetCookie("  sid = a b ;; Path=/app ; Secure;HttpOnly ; domain=.Example.com  ", "h", "/x");
  EXPECT_EQ(c.name, "sid ");
  EXPECT_EQ(c.value, " a b");
  EXPECT_EQ(c.attributes.at("path"), "/app");
  EXPECT_EQ(c.attributes.at("Domain"), ".Example.com");
  EXPECT_EQ(c.attributes.count("SECURE"), 1u);
  EXPECT_EQ(c.attributes.at("HttpOnly"), "");

  const httpCookie bare = parseSetCookie("flag", "host", "/p");
  EXPECT_EQ(bare.name, "flag");
  EXPECT_EQ(bare.value, "");
  EXPECT_EQ(bare.attributes.at("Domain"), "host");
  EXPECT_EQ(bare.attributes.at("Path"), "/p");
}

TEST(Cookies, SelectionByDomainPathAndSecure) {
  httpCookieStore store;
  store.store("exact=1; Path=/", "www.example.com", "/");
  store.store("dot=2; Domain=.example.com; Path=/", "www.example.com", "/");
  store.store("dir=3; Path=/app/", "www.example.com", "/");
  store.store("file=4; Path=/app", "www.example.com", "/");
  store.store("secure=5; Path=/; Secure", "www.example.com", "/");
  store.store("default=6", "www.example.com", "/docs");

  struct Case {
    const char* host;
    const char* path;
    bool https;
    const char* expected;
  };
  const Case cases[] = {
      {"www.example.com", "/", false, "dot=2; exact=1"},
      {"WWW.EXAMPLE.COM", "/", true, "dot=2; exact=1; secure=5"},
      {"other.example.com", "/", false, "dot=2"},
      {"example.com", "/", false, ""},  // shorter than ".example.com"
      {"www.example.com", "/app/x", false, "dir=3; dot=2; exact=1; file=4"},
      {"www.example.com", "/app", false, "dot=2; exact=1; file=4"},
      {"www.example.com", "/apple", false, "dot=2; exact=1"},
      {"www.example.com", "/docs/a", false, "default=6; dot=2; exact=1"},
      {"www.example.com", "/Docs", false, "dot=2; exact=1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(store.cookieHeaderValue(c.host, c.path, c.https), c.expected) << c.host << c.path << c.https;
}

TEST(Cookies, LaterSameNameWinsWithoutRegardToCase) {
  httpCookieStore store;
  store.store("a=first", "h", "/");
  store.store("b=x", "h", "/");
  store.store("A=second", "h", "/");
  EXPECT_EQ(store.cookieHeaderValue("h", "/", false), "A=second; b=x");
  EXPECT_EQ(store.size(), 3u);  // nothing is replaced in the store itself
}

TEST(Cookies, StoreIsBounded) {
  httpCookieStore store;
  for (std::size_t i = 0; i < kMaxCookies; ++i) store.store("c=1", "h", "/");
  EXPECT_THROW(store.store("c=1", "h", "/"), list_too_long);
}
