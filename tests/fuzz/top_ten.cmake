tundrix_fuzz(top_ten tundrix_net)
