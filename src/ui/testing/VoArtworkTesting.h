#pragma once

#include <string>

// The encoded bytes of an embedded picture, by its resource name: from the
// test program's own resources on Windows, from the files the drawing script
// wrote elsewhere. Empty when the picture is not there.
std::string LoadArtwork(const char* name);
