#pragma once
// A scratch game directory per test and small helpers to lay game files into it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "gamefiles/picture_encode.h"
#include "text/charset.h"

namespace tavrel::testing {

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    std::string name = "tavrel-gamefiles-";
    if (info) name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    name += std::to_string(random()) + std::to_string(random());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  void Put(const std::string& name, const Bytes& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  Bytes Get(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path path_;
};

// Cumulative end offsets as .idx bytes.
inline Bytes IndexBytes(const std::vector<int32_t>& ends) {
  Bytes idx;
  for (int32_t v : ends) AppendI32(idx, v);
  return idx;
}

// Traditional-Chinese codec: game bytes are decoded as BIG5 without mb.dat.
inline const TextCodec& Big5Codec() {
  static const TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  return codec;
}

// Clears the write fault hook and byte limit when a test ends, whatever happens in it.
struct FaultHookGuard {
  ~FaultHookGuard() {
    SetWriteFaultHook(nullptr);
    SetWriteByteLimit(std::nullopt);
  }
};

// A picture of `width` x `height` pixels, every one transparent.
inline IndexedPicture Blank(int width, int height) {
  IndexedPicture p;
  p.width = width;
  p.height = height;
  p.indices.assign(size_t(width) * size_t(height), 0);
  p.visible.assign(p.indices.size(), 0);
  return p;
}

// Pixel (x, y) shown with palette index `index`.
inline void Show(IndexedPicture& p, int x, int y, uint8_t index) {
  p.indices[p.at(x, y)] = index;
  p.visible[p.at(x, y)] = 1;
}

}  // namespace tavrel::testing
