// Finds a program of another package (ffmpeg, ffprobe) where the shell would: on PATH.
#pragma once

#include <string>

// The first executable file called `name` in a folder of PATH, or "" when there is none.
std::string FindProgram(const std::string& name);
