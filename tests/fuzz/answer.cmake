tundrix_fuzz(answer tundrix_net)
