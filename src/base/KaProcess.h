#pragma once

#include <string>
#include <vector>

// Starts the command line as a new process and returns at once; true when the
// process was started. The text is passed on unchanged.
bool RunProgram(const std::string& commandLine);

// Pauses the calling thread.
void Pause(unsigned milliseconds);

// The program's arguments after its own name, split by the Windows
// command-line rules, so a quoted path with blanks is one argument.
std::vector<std::string> CommandLineArguments();
// The Windows command-line rules on a given text (the first word is the
// program name and is returned as element 0).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
