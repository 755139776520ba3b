if(TARGET tundrix_channel)
  tundrix_fuzz(site tundrix_channel)
endif()
