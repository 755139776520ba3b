# The channel's load client (channel_load.sh and channel_kill.sh drive it).
if(TARGET tundrix_channel)
  add_executable(channel_load channel_load.cpp)
  target_link_libraries(channel_load PRIVATE tundrix_channel tundrix_net)
endif()
