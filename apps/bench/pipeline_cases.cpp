#include "apps/bench/pipeline_cases.h"

namespace {

// A function-local list, so that registrations from any file's static initialisers find it built.
std::vector<PipelineCase>& Registered() {
  static std::vector<PipelineCase> cases;
  return cases;
}

}  // namespace

bool AddPipelineCases(std::vector<PipelineCase> cases) {
  for (PipelineCase& c : cases) Registered().push_back(std::move(c));
  return true;
}

const std::vector<PipelineCase>& PipelineCases() { return Registered(); }
