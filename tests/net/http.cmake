td_test(http_pure_test PURE
  SOURCES http_url_test.cpp http_head_test.cpp http_cookies_test.cpp
  LIBS td_http_pure)
