// Reads PNG pictures of any colour type as 0x00RRGGBB pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Called with the size a picture's header gives, before any pixel is decoded or any room made
// for them; false (with the reason in *error) ends the read there.
using PngSizeCheck = std::function<bool(std::uint32_t width, std::uint32_t height, std::string* error)>;

// Rows top to bottom; transparency is laid over black. False with the reason in *error.
bool ReadPng(const std::string& path, std::vector<std::uint32_t>* pixels, int* width, int* height, std::string* error,
             const PngSizeCheck& check = nullptr);
