// Where the production's package is. The system opens "kaleth.pak" in its working folder; a copy
// started from a desktop menu runs in the person's home folder, so before the entry starts the
// program moves to the folder that holds the package.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct DataFolderSearch {
  std::vector<std::string> searched;  // every folder looked in, in order
  std::string found;                  // the first of them that holds the package; empty if none
  std::filesystem::path foundPath;    // the same folder, as the system names it
  bool overridden = false;            // KALETH_DATA chose the one folder to look in
};

// Looks in `chosen` (the machine profile's KALETH_DATA) alone when it is not empty, else in the
// working folder and then in the installed data folder, `dataFromProgram` relative to the folder
// of the running executable.
DataFolderSearch FindDataFolder(const std::string& package, const std::string& dataFromProgram,
                                const std::string& chosen);

// Makes the folder that holds the package the working folder. When none holds it, one line on
// stderr names the folders searched and the program runs on, to report the missing package in
// its own words like any run without its package: from KALETH_DATA's folder when that is set,
// else from where it was started. When KALETH_DATA's folder cannot be entered the line says so
// and why, and the program runs on from a folder that holds no package.
void EnterDataFolder(const char* program, const std::string& dataFromProgram, const std::string& chosen);
