td_test(http_pure_test PURE
  SOURCES http_url_test.cpp http_head_test.cpp http_cookies_test.cpp http_auth_test.cpp
  LIBS td_http_pure)

# The reply parsers under fuzzing: a libFuzzer program under clang
# (scripts/fuzz.sh), else a driver that runs the seeds and then seeded
# random mutations of them under the sanitizers; either way a test.
if(NOT TD_WINDOWS)
  add_executable(http_reply_fuzz http_reply_fuzz.cpp)
  target_include_directories(http_reply_fuzz PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(http_reply_fuzz PRIVATE td_http_pure)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(http_reply_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_options(http_reply_fuzz PRIVATE -fsanitize=fuzzer)
    file(GLOB http_reply_seeds "${CMAKE_CURRENT_SOURCE_DIR}/fuzz_corpus/*")
    add_test(NAME http_reply_fuzz COMMAND http_reply_fuzz ${http_reply_seeds})
  else()
    target_sources(http_reply_fuzz PRIVATE fuzz_driver.cpp)
    add_test(NAME http_reply_fuzz COMMAND http_reply_fuzz "${CMAKE_CURRENT_SOURCE_DIR}/fuzz_corpus")
  endif()
  set_tests_properties(http_reply_fuzz PROPERTIES TIMEOUT 600)
endif()

# Windows tests against real peers, which run_with_peers.py starts on
# loopback around the test program.
function(td_peer_test name peers)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TD_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} td_test_support GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name}
           COMMAND python3 "${CMAKE_SOURCE_DIR}/tests/net/run_with_peers.py" --peers ${peers} --
                   "${CMAKE_CROSSCOMPILING_EMULATOR}" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

td_peer_test(http_engine_test scripted,apache,squid,tls SOURCES http_engine_test.cpp LIBS td_http)

if(TD_WINDOWS)
  add_test(NAME cli_http_test
           COMMAND python3 "${CMAKE_CURRENT_SOURCE_DIR}/run_with_peers.py" --peers scripted,lookup --
                   python3 "${CMAKE_CURRENT_SOURCE_DIR}/cli_http_test.py" "${CMAKE_CROSSCOMPILING_EMULATOR}"
                   "${TD_DIST_DIR}/tallydisc-cli.exe")
  set_tests_properties(cli_http_test PROPERTIES TIMEOUT 600)
endif()
