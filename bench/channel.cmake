# The channel's load client (channel_load.sh and channel_kill.sh drive it).
# The load client posts on the attack clients' raw sockets, so it needs the tests' library.
if(TARGET tundrix_channel AND TARGET tundrix_attackers)
  add_executable(channel_load channel_load.cpp)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  target_link_libraries(channel_load PRIVATE tundrix_channel tundrix_net tundrix_attackers PkgConfig::HTTPLIB)
  # In the test command: the server killed at random moments under load five times, every answered post
  # still kept (channel_kill.sh run by hand makes twenty trials).
  if(TUNDRIX_TESTS)
    add_test(NAME channel_kill_trials COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/channel_kill.sh ${PROJECT_BINARY_DIR} 5 5)
    set_tests_properties(channel_kill_trials PROPERTIES TIMEOUT 120)
  endif()
endif()
