#pragma once

#include <string>

// The running program's own path values, computed once on first use:
// ExeDir ends in "\", ExeBaseName is ExeFileName without its last extension.
const std::string& ExeDir();
const std::string& ExeFileName();
const std::string& ExeBaseName();

// The full file name of the running program.
std::string ProgramFileName();
