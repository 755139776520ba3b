if(TARGET tundrix_channel)
  tundrix_fuzz(web_text tundrix_channel)
endif()
