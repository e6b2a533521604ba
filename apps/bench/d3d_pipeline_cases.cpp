// The 3D pipeline's figures: a full-picture textured, lit, depth-tested layer with linear
// magnification at each display depth, and the triangle rate of a dense mesh of small triangles.
#include <memory>

#include "apps/bench/pipeline_cases.h"
#include "tools/drawing/layer_scene.h"

namespace {

// A frame every 16 ms of scene time, so the wave moves as it would on screen.
PipelineCase GridLayer(DWORD bits) {
  return {"grid layer, " + std::to_string(bits) + " bits", [bits](std::string* error) {
            auto scene = std::make_shared<LayerScene>(bits);
            *error = scene->Error();
            return std::function<int(std::int64_t)>([scene](std::int64_t k) {
              scene->DrawGrid(static_cast<std::uint32_t>(k * 16));
              return 0;
            });
          }};
}

PipelineCase DenseMesh() {
  return {"dense mesh, 17,920 triangles", [](std::string* error) {
            auto scene = std::make_shared<LayerScene>(32);
            *error = scene->Error();
            return std::function<int(std::int64_t)>([scene](std::int64_t) { return scene->DrawDenseMesh(); });
          }};
}

const bool registered = AddPipelineCases({GridLayer(32), GridLayer(24), GridLayer(16), DenseMesh()});

}  // namespace
