// Reads PNG pictures of any colour type as 0x00RRGGBB pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Rows top to bottom; transparency is laid over black. False with the reason in *error.
bool ReadPng(const std::string& path, std::vector<std::uint32_t>* pixels, int* width, int* height, std::string* error);
