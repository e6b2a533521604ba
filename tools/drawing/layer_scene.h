// A scene in the manner of the production's 3D slots, drawn through the stand-in on a 512 x 384
// memory target: a lit, textured wave grid far off that covers the letterboxed picture area, a
// tumbling lit cube in front of it and a sprite on the near plane blended with the destination
// colour; and a dense mesh of small triangles. The benchmarks time it and the picture test looks
// at it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/drawing/memory_device.h"

class LayerScene {
 public:
  // The target has `colourBits` (32, 24 or 16) and a 32-bit depth surface.
  explicit LayerScene(DWORD colourBits);
  ~LayerScene();

  // Empty when everything was made.
  const std::string& Error() const { return device_.Error(); }
  IDirectDrawSurface4* Target() const { return device_.target; }

  // The picture area cleared, then the grid at time t (milliseconds): one full-picture textured,
  // lit, depth-tested layer with linear magnification and highlights.
  void DrawGrid(std::uint32_t t);
  // The grid, the cube and the sprite.
  void DrawAll(std::uint32_t t);
  // The picture area cleared, then a flat mesh of small lit, textured triangles over it; gives
  // back how many triangles were drawn.
  int DrawDenseMesh();

 private:
  void Place(float angle, float x, float y, float z);
  void AnimateGrid(std::uint32_t t);
  void ClearPictureArea();
  // The picture area cleared, then a lit, textured triangle list with highlights, unblended,
  // placed unturned at depth z.
  void DrawTexturedMesh(std::vector<D3DVERTEX>& vertices, std::vector<WORD>& indices, float z);

  MemoryDevice device_;
  IDirect3DTexture2* checker_ = nullptr;
  IDirect3DTexture2* glow_ = nullptr;
  IDirect3DMaterial3* material_ = nullptr;
  IDirect3DLight* light_ = nullptr;
  std::vector<D3DVERTEX> grid_;
  std::vector<WORD> gridIndices_;
  std::vector<D3DVERTEX> cube_;
  std::vector<D3DVERTEX> mesh_;
  std::vector<WORD> meshIndices_;
};
