#include "tools/drawing/layer_scene.h"

#include <cmath>

namespace {

constexpr int kGridSide = 15;
// The dense mesh: cells of 4 x 4 pixels over the 512 x 280 picture area.
constexpr int kMeshColumns = 128;
constexpr int kMeshRows = 70;

const D3DCOLORVALUE kWhite{{1}, {1}, {1}, {1}};

D3DVERTEX Vertex(float x, float y, float z, float u, float v) {
  D3DVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.nz = -1.0f;
  vertex.tu = u;
  vertex.tv = v;
  return vertex;
}

// Triangles of a rows x columns grid of vertices, both clockwise as the eye sees them.
std::vector<WORD> GridIndices(int rows, int columns) {
  std::vector<WORD> indices;
  auto at = [columns](int row, int column) { return static_cast<WORD>(row * columns + column); };
  for (int a = 0; a + 1 < rows; ++a) {
    for (int j = 0; j + 1 < columns; ++j) {
      indices.insert(indices.end(), {at(a + 1, j + 1), at(a + 1, j), at(a, j + 1)});
      indices.insert(indices.end(), {at(a, j + 1), at(a + 1, j), at(a, j)});
    }
  }
  return indices;
}

D3DDRAWPRIMITIVESTRIDEDDATA Streams(std::vector<D3DVERTEX>& vertices) {
  D3DDRAWPRIMITIVESTRIDEDDATA data{};
  data.position = {&vertices[0].x, sizeof(D3DVERTEX)};
  data.normal = {&vertices[0].nx, sizeof(D3DVERTEX)};
  data.textureCoords[0] = {&vertices[0].tu, sizeof(D3DVERTEX)};
  return data;
}

}  // namespace

LayerScene::LayerScene(DWORD colourBits) : device_({512, 384, colourBits, 32}) {
  if (!Error().empty()) return;
  IDirect3DDevice3* d = device_.device;
  device_.UseSceneCamera();

  checker_ = device_.MakeTexture(256, 256, [](int x, int y) {
    const auto r = static_cast<std::uint32_t>(x), g = static_cast<std::uint32_t>(y);
    return ((x / 32 + y / 32) % 2) ? (r << 16 | g << 8 | 0x40) : 0x202020u | (255 - r);
  });
  glow_ = device_.MakeTexture(256, 256, [](int x, int y) {
    const float dx = (static_cast<float>(x) - 127.5f) / 128.0f, dy = (static_cast<float>(y) - 127.5f) / 128.0f;
    const float glow = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
    const auto level = static_cast<std::uint32_t>(glow * glow * 255.0f);
    return level << 16 | level << 8 | level / 2;
  });

  // A white material and a white point light behind the eye, a little left and below.
  D3DMATERIAL material{};
  material.dwSize = sizeof(material);
  material.diffuse = material.ambient = material.specular = kWhite;
  material.power = 10.0f;
  device_.direct3D->CreateMaterial(&material_, nullptr);
  material_->SetMaterial(&material);
  D3DMATERIALHANDLE handle = 0;
  material_->GetHandle(d, &handle);
  d->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
  D3DLIGHT2 light{};
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_POINT;
  light.dcvColor = kWhite;
  light.dvPosition = D3DVECTOR{{-50}, {-50}, {-1000}};
  light.dvRange = D3DLIGHT_RANGE_MAX;
  light.dvAttenuation0 = 1.0f;
  light.dwFlags = D3DLIGHT_ACTIVE;
  device_.direct3D->CreateLight(&light_, nullptr);
  light_->SetLight(reinterpret_cast<D3DLIGHT*>(&light));
  device_.viewport->AddLight(light_);
  d->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);

  // The grid: 15 x 15 vertices 80 apart across and 60 down, 790 units in front of the eye.
  for (int a = 0; a < kGridSide; ++a) {
    for (int k = 0; k < kGridSide; ++k) {
      grid_.push_back(Vertex(static_cast<float>((2 * k - 14) * 40), static_cast<float>((15 - 2 * a) * 30), 0,
                             static_cast<float>(k) / 15.0f, static_cast<float>(a) / 15.0f));
    }
  }
  gridIndices_ = GridIndices(kGridSide, kGridSide);

  // The cube: six faces of two triangles, clockwise from outside, each face its own normal.
  const float s = 15.0f;
  const float faces[6][4][3] = {
      {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}}, {{s, s, s}, {-s, s, s}, {-s, -s, s}, {s, -s, s}},
      {{-s, s, s}, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}}, {{s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}},
      {{-s, s, s}, {s, s, s}, {s, s, -s}, {-s, s, -s}},     {{-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}}};
  const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& face : faces) {
    const float e1[3] = {face[1][0] - face[0][0], face[1][1] - face[0][1], face[1][2] - face[0][2]};
    const float e2[3] = {face[3][0] - face[0][0], face[3][1] - face[0][1], face[3][2] - face[0][2]};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i : {0, 1, 2, 0, 2, 3}) {
      D3DVERTEX v = Vertex(face[i][0], face[i][1], face[i][2], uv[i][0], uv[i][1]);
      v.nx = n[0] / length;
      v.ny = n[1] / length;
      v.nz = n[2] / length;
      cube_.push_back(v);
    }
  }

  // The dense mesh: flat at camera z = 2, where x from -1 to 1 and y from -0.5 to 0.5 fill the
  // picture area.
  for (int row = 0; row <= kMeshRows; ++row) {
    for (int column = 0; column <= kMeshColumns; ++column) {
      const float u = static_cast<float>(column) / kMeshColumns, v = static_cast<float>(row) / kMeshRows;
      mesh_.push_back(Vertex(2.0f * u - 1.0f, 0.5f - v, 2.0f, u * 4.0f, v * 2.0f));
    }
  }
  meshIndices_ = GridIndices(kMeshRows + 1, kMeshColumns + 1);
}

LayerScene::~LayerScene() {
  if (material_) material_->Release();
  if (light_) light_->Release();
}

void LayerScene::Place(float angle, float x, float y, float z) {
  // Turned about x, then y, then z by the same angle, then moved.
  const float c = std::cos(angle), s = std::sin(angle);
  const float rx[3][3] = {{1, 0, 0}, {0, c, s}, {0, -s, c}};
  const float ry[3][3] = {{c, 0, -s}, {0, 1, 0}, {s, 0, c}};
  const float rz[3][3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
  float t[3][3] = {}, m[3][3] = {};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) t[i][j] += rx[i][k] * ry[k][j];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) m[i][j] += t[i][k] * rz[k][j];
  D3DMATRIX world{m[0][0], m[0][1], m[0][2], 0, m[1][0], m[1][1], m[1][2], 0, m[2][0], m[2][1], m[2][2], 0, x, y, z, 1};
  device_.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
}

void LayerScene::AnimateGrid(std::uint32_t t) {
  // A diagonal sine wave, and the normals of the faces round each vertex averaged.
  for (D3DVERTEX& v : grid_) {
    v.z = 220.0f * std::sin((static_cast<float>(t) + 10.0f * (v.x + v.y)) * 0.00613592315f);
    v.nx = v.ny = v.nz = 0;
  }
  for (std::size_t i = 0; i < gridIndices_.size(); i += 3) {
    D3DVERTEX* p[3] = {&grid_[gridIndices_[i]], &grid_[gridIndices_[i + 1]], &grid_[gridIndices_[i + 2]]};
    const float e1[3] = {p[1]->x - p[0]->x, p[1]->y - p[0]->y, p[1]->z - p[0]->z};
    const float e2[3] = {p[2]->x - p[0]->x, p[2]->y - p[0]->y, p[2]->z - p[0]->z};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (D3DVERTEX* v : p) {
      v->nx += n[0] / length;
      v->ny += n[1] / length;
      v->nz += n[2] / length;
    }
  }
}

void LayerScene::ClearPictureArea() {
  D3DRECT area{};
  area.y1 = 52;
  area.x2 = 512;
  area.y2 = 332;
  device_.viewport->Clear(1, &area, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
}

void LayerScene::DrawGrid(std::uint32_t t) {
  AnimateGrid(t);
  DrawTexturedMesh(grid_, gridIndices_, 800);
}

void LayerScene::DrawAll(std::uint32_t t) {
  IDirect3DDevice3* d = device_.device;
  DrawGrid(t);
  d->BeginScene();
  Place(static_cast<float>(t) * 0.001f, 10, -5, 100);
  d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, cube_.data(), static_cast<DWORD>(cube_.size()), 0);
  // A sprite exactly on the near plane, lit texel + background x background.
  Place(0, -0.3f, 0.1f, 10.0f);
  d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
  d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
  d->SetTexture(0, glow_);
  D3DVERTEX quad[4] = {Vertex(-0.1f, 0.1f, 1, 0, 0), Vertex(0.1f, 0.1f, 1, 1, 0), Vertex(-0.1f, -0.1f, 1, 0, 1),
                       Vertex(0.1f, -0.1f, 1, 1, 1)};
  d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
  d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  d->EndScene();
}

int LayerScene::DrawDenseMesh() {
  DrawTexturedMesh(mesh_, meshIndices_, 10);
  return static_cast<int>(meshIndices_.size() / 3);
}

void LayerScene::DrawTexturedMesh(std::vector<D3DVERTEX>& vertices, std::vector<WORD>& indices, float z) {
  IDirect3DDevice3* d = device_.device;
  ClearPictureArea();
  d->BeginScene();
  d->SetTexture(0, checker_);
  d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  Place(0, 0, 0, z);
  D3DDRAWPRIMITIVESTRIDEDDATA data = Streams(vertices);
  d->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data, static_cast<DWORD>(vertices.size()),
                                 indices.data(), static_cast<DWORD>(indices.size()), 0);
  d->EndScene();
}
