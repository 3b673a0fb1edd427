#include "ui/testing/VoArtworkTesting.h"

#include <cctype>
#include <fstream>
#include <sstream>

// The drawing script's folder of this build, given by CMake.
#ifndef WS_ARTWORK_DIR
#error "WS_ARTWORK_DIR names the folder the artwork is drawn into"
#endif

std::string LoadArtwork(const char* name) {
  std::string file = name;
  for (char& c : file)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::ifstream in(std::string(WS_ARTWORK_DIR) + "/" + file + ".png", std::ios::binary);
  if (!in)
    return {};
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
