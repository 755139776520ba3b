tundrix_fuzz(wave tundrix_sound)
