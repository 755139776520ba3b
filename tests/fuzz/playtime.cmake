tundrix_fuzz(playtime tundrix_shell)
