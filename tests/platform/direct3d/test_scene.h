// A scene in the manner of the production's 3D slots, drawn through the stand-in: a lit,
// textured wave grid far away, a tumbling lit cube in front of it and a blended flare on the near
// plane, in the letterboxed viewport with the fixed camera. Shared by the picture test and the
// benchmarks.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/direct3d/d3d.h"
#include "tests/support/soft_device.h"

struct TestScene {
  explicit TestScene(SoftDevice& device) : d(device) {
    // The picture area of a 512 x 384 display; a unit is 256 pixels across and 280 down.
    D3DVIEWPORT2 viewport{};
    viewport.dwSize = sizeof(viewport);
    viewport.dwY = 52;
    viewport.dwWidth = 512;
    viewport.dwHeight = 280;
    viewport.dvClipX = -1.0f;
    viewport.dvClipY = 0.5f;
    viewport.dvClipWidth = 2.0f;
    viewport.dvClipHeight = 1.0f;
    viewport.dvMaxZ = 1.0f;
    EXPECT_EQ(d.viewport->SetViewport2(&viewport), D3D_OK);
    D3DMATRIX view{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
    D3DMATRIX projection{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0};
    d.device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    d.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);

    checker = d.MakeTexture(256, 256, [](int x, int y) {
      const std::uint32_t r = static_cast<std::uint32_t>(x), g = static_cast<std::uint32_t>(y);
      return ((x / 32 + y / 32) % 2) ? (r << 16 | g << 8 | 0x40) : 0x202020u | (255 - r);
    });
    flare = d.MakeTexture(256, 256, [](int x, int y) {
      const float dx = (static_cast<float>(x) - 127.5f) / 128.0f, dy = (static_cast<float>(y) - 127.5f) / 128.0f;
      const float glow = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
      const auto level = static_cast<std::uint32_t>(glow * glow * 255.0f);
      return level << 16 | level << 8 | level / 2;
    });

    D3DMATERIAL material{};
    material.dwSize = sizeof(material);
    material.diffuse = material.ambient = material.specular = D3DCOLORVALUE{{1}, {1}, {1}, {1}};
    material.power = 10.0f;
    d.direct3D->CreateMaterial(&this->material, nullptr);
    this->material->SetMaterial(&material);
    D3DMATERIALHANDLE handle = 0;
    this->material->GetHandle(d.device, &handle);
    d.device->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    D3DLIGHT2 light{};
    light.dwSize = sizeof(light);
    light.dltType = D3DLIGHT_POINT;
    light.dcvColor = D3DCOLORVALUE{{1}, {1}, {1}, {1}};
    light.dvPosition = D3DVECTOR{{-50}, {-50}, {-1000}};
    light.dvRange = D3DLIGHT_RANGE_MAX;
    light.dvAttenuation0 = 1.0f;
    light.dwFlags = D3DLIGHT_ACTIVE;
    d.direct3D->CreateLight(&this->light, nullptr);
    this->light->SetLight(reinterpret_cast<D3DLIGHT*>(&light));
    d.viewport->AddLight(this->light);
    d.device->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);

    BuildGrid();
    BuildCube();
  }

  ~TestScene() {
    material->Release();
    light->Release();
  }

  // A 15 x 15 height field 790 units in front of the eye, covering the picture area.
  void BuildGrid() {
    for (int a = 0; a < 15; ++a) {
      for (int k = 0; k < 15; ++k) {
        D3DVERTEX v{};
        v.x = static_cast<float>((2 * k - 14) * 40);
        v.y = static_cast<float>((15 - 2 * a) * 30);
        v.nz = -1.0f;
        v.tu = static_cast<float>(k) / 15.0f;
        v.tv = static_cast<float>(a) / 15.0f;
        grid.push_back(v);
      }
    }
    auto at = [](int a, int k) { return static_cast<WORD>(15 * a + k); };
    for (int a = 0; a < 14; ++a) {
      for (int j = 0; j < 14; ++j) {
        gridIndices.insert(gridIndices.end(), {at(a + 1, j + 1), at(a + 1, j), at(a, j + 1)});
        gridIndices.insert(gridIndices.end(), {at(a, j + 1), at(a + 1, j), at(a, j)});
      }
    }
  }

  // Heights of a diagonal wave at time t, with the normals of the faces round each vertex.
  void AnimateGrid(float t) {
    for (D3DVERTEX& v : grid) v.z = 220.0f * std::sin((t + 10.0f * (v.x + v.y)) * 0.00613592315f);
    for (D3DVERTEX& v : grid) v.nx = v.ny = v.nz = 0;
    for (std::size_t i = 0; i < gridIndices.size(); i += 3) {
      D3DVERTEX& p0 = grid[gridIndices[i]];
      D3DVERTEX& p1 = grid[gridIndices[i + 1]];
      D3DVERTEX& p2 = grid[gridIndices[i + 2]];
      const float e1[3] = {p1.x - p0.x, p1.y - p0.y, p1.z - p0.z}, e2[3] = {p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
      float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      for (D3DVERTEX* p : {&p0, &p1, &p2}) {
        p->nx += n[0] / length;
        p->ny += n[1] / length;
        p->nz += n[2] / length;
      }
    }
  }

  // A cube of six 2 x 2 faces, clockwise as seen from outside.
  void BuildCube() {
    const float s = 15.0f;
    const float corners[6][4][3] = {
        {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}}, {{s, s, s}, {-s, s, s}, {-s, -s, s}, {s, -s, s}},
        {{-s, s, s}, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}}, {{s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}},
        {{-s, s, s}, {s, s, s}, {s, s, -s}, {-s, s, -s}},     {{-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& face : corners) {
      const float e1[3] = {face[1][0] - face[0][0], face[1][1] - face[0][1], face[1][2] - face[0][2]};
      const float e2[3] = {face[3][0] - face[0][0], face[3][1] - face[0][1], face[3][2] - face[0][2]};
      float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      for (int i : {0, 1, 2, 0, 2, 3}) {
        D3DVERTEX v{};
        v.x = face[i][0];
        v.y = face[i][1];
        v.z = face[i][2];
        v.nx = n[0] / length;
        v.ny = n[1] / length;
        v.nz = n[2] / length;
        v.tu = uv[i][0];
        v.tv = uv[i][1];
        cube.push_back(v);
      }
    }
  }

  void Place(float angle, float x, float y, float z) {
    const float c = std::cos(angle), s = std::sin(angle);
    // Turned about x, then y, then z by the same angle, then moved.
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
    d.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  }

  // Only the grid: the full-picture textured, lit, depth-tested layer.
  void DrawGrid(float t) {
    AnimateGrid(t);
    D3DRECT area{};
    area.y1 = 52;
    area.x2 = 512;
    area.y2 = 332;
    d.viewport->Clear(1, &area, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    d.device->BeginScene();
    d.device->SetTexture(0, checker);
    d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    d.device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    Place(0, 0, 0, 800);
    D3DDRAWPRIMITIVESTRIDEDDATA data{};
    data.position = {&grid[0].x, sizeof(D3DVERTEX)};
    data.normal = {&grid[0].nx, sizeof(D3DVERTEX)};
    data.textureCoords[0] = {&grid[0].tu, sizeof(D3DVERTEX)};
    d.device->DrawIndexedPrimitiveStrided(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, &data, static_cast<DWORD>(grid.size()),
                                          gridIndices.data(), static_cast<DWORD>(gridIndices.size()), 0);
    d.device->EndScene();
  }

  // The grid, the cube and a flare blended with DESTCOLOR on the near plane.
  void DrawAll(float t) {
    DrawGrid(t);
    d.device->BeginScene();
    Place(t * 0.001f, 10, -5, 100);
    d.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, cube.data(), static_cast<DWORD>(cube.size()), 0);
    Place(0, -0.3f, 0.1f, 10.0f);
    d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    d.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
    d.device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    d.device->SetTexture(0, flare);
    D3DVERTEX quad[4] = {};
    const float corner[4][4] = {{-0.1f, 0.1f, 0, 0}, {0.1f, 0.1f, 1, 0}, {-0.1f, -0.1f, 0, 1}, {0.1f, -0.1f, 1, 1}};
    for (int i = 0; i < 4; ++i) {
      quad[i].x = corner[i][0];
      quad[i].y = corner[i][1];
      quad[i].z = 1.0f;
      quad[i].nz = -1.0f;
      quad[i].tu = corner[i][2];
      quad[i].tv = corner[i][3];
    }
    d.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
    d.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    d.device->EndScene();
  }

  SoftDevice& d;
  IDirect3DTexture2* checker = nullptr;
  IDirect3DTexture2* flare = nullptr;
  IDirect3DMaterial3* material = nullptr;
  IDirect3DLight* light = nullptr;
  std::vector<D3DVERTEX> grid;
  std::vector<WORD> gridIndices;
  std::vector<D3DVERTEX> cube;
};
