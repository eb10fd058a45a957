# The HTTP engine: URL, head, chunk, cookie and authentication rules are
# pure; the request engine itself runs over the transport's connection.
td_pure_library(td_http_pure
  url_escape.cpp
  http_url.cpp
  http_head.cpp
  chunked_reader.cpp
  http_cookies.cpp
  base64.cpp
  challenge_cache.cpp
  http_auth.cpp
)
target_link_libraries(td_http_pure PUBLIC td_net_pure td_md5)

td_win_library(td_http
  http_request.cpp
)
if(TD_WINDOWS)
  target_link_libraries(td_http PUBLIC td_http_pure td_net ole32)
endif()
