// Measurements of the 3D pipeline on its own, beside the slots: scenes drawn through the
// Direct3D stand-in into memory targets of their own. A file of this folder adds its cases with a
// static registration, as the slots do:
//
//   const bool registered = AddPipelineCases({{"grid layer", [] { ... return frame; }}});
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct PipelineCase {
  std::string label;
  // Makes what the case draws with (an empty error when that went well) and gives back its frame:
  // drawing frame k returns the triangles it drew, or 0 when they are not counted.
  std::function<std::function<int(std::int64_t)>(std::string* error)> prepare;
};

// Adds cases to the list; returns true, for use in a static initialiser.
bool AddPipelineCases(std::vector<PipelineCase> cases);

// Every registered case, in the order registered.
const std::vector<PipelineCase>& PipelineCases();
