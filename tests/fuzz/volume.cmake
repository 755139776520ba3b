tundrix_fuzz(volume tundrix_sound)
