#include "net/http_url.h"

#include <gtest/gtest.h>

#include "net/http_errors.h"
#include "net/url_escape.h"

using namespace Kx;

TEST(UrlEscape, ThreeFormsAndTheirInverses) {
  EXPECT_EQ(escapeRequestUrl("http://h/a b\xC3\xA9?x=1"), "http://h/a%20b%c3%a9?x=1");
  EXPECT_EQ(escapeComponent("us er@x:y", kUserInfoSafe), "us%20er%40x%3Ay");
  EXPECT_EQ(escapeComponent("/a b/(c)*!~'.\xFF", kPathSafe), "/a%20b/(c)*!~'.%FF");
  EXPECT_EQ(escapeFormValue("a b&c=d-._~/"), "a+b%26c%3Dd-._~%2F");

  EXPECT_EQ(unescapeComponent("a%40b%3ac"), "a@b:c");
  EXPECT_EQ(unescapeComponent("100%"), "100%");    // no digits after it
  EXPECT_EQ(unescapeComponent("%zz%4"), "%zz%4");  // not hexadecimal, cut short
  EXPECT_EQ(unescapeComponent("a%00b"), "a%00b");  // byte 0 is never produced
  EXPECT_EQ(formUnescape("a+b%2Fc"), "a b/c");
  EXPECT_THROW(formUnescape("100%"), invalid_input);
  EXPECT_THROW(formUnescape("%g0"), invalid_input);
}

TEST(UrlParse, SixParts) {
  struct Case {
    const char* url;
    const char* defaultScheme;
    parsedUrl expected;
  };
  const Case cases[] = {
      {"http://host", "", {"http", "", "", "host", "80", "/"}},
      {"HTTPS://Host:8443/a/b?q=1", "", {"https", "", "", "Host", "8443", "/a/b?q=1"}},
      {"http://us%40er:p%3Aw:x@host/p", "", {"http", "us@er", "p:w:x", "host", "80", "/p"}},
      {"http://a@b@host:81", "", {"http", "a@b", "", "host", "81", "/"}},
      {"gopher://host/x", "", {"gopher", "", "", "host", "", "/x"}},
      {"ftps://host", "", {"ftps", "", "", "host", "990", "/"}},
      {"proxy:3128", "http", {"http", "", "", "proxy", "3128", "/"}},
      {"user:pw@proxy", "http", {"http", "user", "pw", "proxy", "80", "/"}},
  };
  for (const Case& c : cases) {
    const auto parsed = parseUrl(c.url, c.defaultScheme);
    ASSERT_TRUE(parsed) << c.url;
    EXPECT_EQ(*parsed, c.expected) << c.url;
  }
  for (const char* bad : {"host/path", "http://", "http:///path", "http://user@/x", "http://:80/"})
    EXPECT_FALSE(parseUrl(bad)) << bad;
}

TEST(UrlParse, RebuildDropsDefaultPortsAndEscapesCredentials) {
  EXPECT_EQ(buildUrl(*parseUrl("http://host:80/x")), "http://host/x");
  EXPECT_EQ(buildUrl(*parseUrl("https://host:80/x")), "https://host:80/x");
  EXPECT_EQ(buildUrl({"http", "a b", "c@d", "h", "8080", "/p"}), "http://a%20b:c%40d@h:8080/p");
  EXPECT_EQ(buildUrl({"http", "u", "", "h", "80", "/"}), "http://u@h/");
  EXPECT_EQ(hostKey(*parseUrl("http://h:80/")), "h");
  EXPECT_EQ(hostKey(*parseUrl("http://h:8080/")), "h:8080");
}

TEST(UrlResolve, AgainstTheBaseDocumentFolder) {
  struct Case {
    const char* base;
    const char* reference;
    const char* expected;
  };
  const Case cases[] = {
      {"http://h", "x", "http://h/x"},
      {"http://h", "/x", "http://h/x"},
      {"http://h/a/b", "/x?y", "http://h/x?y"},
      {"http://h/a/b", "c", "http://h/a/c"},
      {"http://h/a/b/", "c", "http://h/a/b/c"},
      {"http://h/a/b?q=/z", "c", "http://h/a/c"},
      {"http://h/a/b", "./c", "http://h/a/c"},
      {"http://h/a/b/c", "../d", "http://h/a/d"},
      {"http://h/a/b/c", "../../d", "http://h/d"},
      {"http://h/a/b/", "../d", "http://h/a/d"},
      {"http://h/a", "../../d", "http://h/d"},
      {"http://h/a/b?old", "?new", "http://h/a/b?new"},
      {"http://u:p@h:81/a/b", "c", "http://u:p@h:81/a/c"},
  };
  for (const Case& c : cases) EXPECT_EQ(resolveRelativeUrl(c.base, c.reference), c.expected) << c.base << " + " << c.reference;
  EXPECT_THROW(resolveRelativeUrl("h/a", "b"), invalid_input);
}

TEST(UrlCanonical, CredentialsAndEscaping) {
  struct Case {
    const char* url;
    const char* base;
    const char* expected;
  };
  const Case cases[] = {
      // Same scheme, host and port: the credentials of the base carry over.
      {"http://h/x", "http://u:p@h/a", "http://u:p@h/x"},
      {"http://h:80/x", "http://u:p@h/a", "http://u:p@h/x"},
      {"http://other/x", "http://u:p@h/a", "http://other/x"},
      {"https://h/x", "http://u:p@h/a", "https://h/x"},
      {"http://v@h/x", "http://u:p@h/a", "http://v@h/x"},
      // A path that needs escaping is escaped, its query left alone.
      {"http://h/a b/[c]?q=a b", "http://h/", "http://h/a%20b/%5Bc%5D?q=a b"},
      // An already escaped path stays as it is.
      {"http://h/a%20b/[c]", "http://h/", "http://h/a%20b/[c]"},
      {"http://h/100%", "http://h/", "http://h/100%25"},
      {"http://h/plain/path", "http://h/", "http://h/plain/path"},
  };
  for (const Case& c : cases) EXPECT_EQ(canonicalUrl(c.url, c.base), c.expected) << c.url;
}
