#include <cstring>

#include "apps/pakgen/mesh.h"

namespace {

// Builds nested chunks: each open chunk's length is patched when it closes, so it always
// counts its header, payload and children.
class ChunkWriter {
 public:
  void open(std::uint16_t id) {
    starts_.push_back(bytes_.size());
    u16(id);
    u32(0);
  }
  void close() {
    const std::size_t start = starts_.back();
    starts_.pop_back();
    const auto length = static_cast<std::uint32_t>(bytes_.size() - start);
    for (int i = 0; i < 4; ++i) bytes_[start + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  }
  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void text(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    u8(0);
  }
  Bytes take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
  std::vector<std::size_t> starts_;
};

constexpr const char* kMaterialName = "gilded";

}  // namespace

Bytes Encode3ds(const Mesh& mesh, const std::string& objectName) {
  ChunkWriter w;
  w.open(0x4D4D);  // main
  w.open(0x0002);  // file version
  w.u32(3);
  w.close();
  w.open(0x3D3D);  // editor data
  w.open(0x3D3E);  // mesh version
  w.u32(3);
  w.close();
  w.open(0xAFFF);  // material block
  w.open(0xA000);
  w.text(kMaterialName);
  w.close();
  w.open(0xA020);  // diffuse colour
  w.open(0x0011);
  w.u8(230);
  w.u8(190);
  w.u8(110);
  w.close();
  w.close();
  w.close();
  w.open(0x4000);  // named object
  w.text(objectName);
  w.open(0x4100);  // triangle mesh
  w.open(0x4110);  // vertices
  w.u16(static_cast<std::uint16_t>(mesh.positions.size()));
  for (const auto& p : mesh.positions)
    for (float c : p) w.f32(c);
  w.close();
  w.open(0x4140);  // mapping coordinates
  w.u16(static_cast<std::uint16_t>(mesh.mapping.size()));
  for (const auto& uv : mesh.mapping)
    for (float c : uv) w.f32(c);
  w.close();
  w.open(0x4160);  // local axes: identity at the origin
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 3; ++col) w.f32(row == col ? 1.f : 0.f);
  w.close();
  w.open(0x4120);  // faces, then their material and smoothing groups inside
  w.u16(static_cast<std::uint16_t>(mesh.faces.size()));
  for (const auto& f : mesh.faces) {
    for (std::uint16_t index : f) w.u16(index);
    w.u16(0x0007);  // all three edges visible
  }
  w.open(0x4130);
  w.text(kMaterialName);
  w.u16(static_cast<std::uint16_t>(mesh.faces.size()));
  for (std::size_t i = 0; i < mesh.faces.size(); ++i) w.u16(static_cast<std::uint16_t>(i));
  w.close();
  w.open(0x4150);
  for (std::size_t i = 0; i < mesh.faces.size(); ++i) w.u32(1);
  w.close();
  w.close();  // faces
  w.close();  // triangle mesh
  w.close();  // object
  w.close();  // editor data
  w.open(0xB000);  // keyframer, naming the object's node
  w.open(0xB002);
  w.open(0xB010);
  w.text(objectName);
  w.u16(0);
  w.u16(0);
  w.u16(0xFFFF);
  w.close();
  w.close();
  w.close();
  w.close();  // main
  return w.take();
}
