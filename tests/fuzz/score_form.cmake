if(TARGET tundrix_channel)
  tundrix_fuzz(score_form tundrix_channel)
endif()
