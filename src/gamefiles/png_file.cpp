#include "gamefiles/png_file.h"

#include <spng.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace tavrel {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kIhdrWidthAt = 16;  // signature, IHDR length and type
constexpr size_t kIhdrHeightAt = 20;

struct ContextFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

struct BufferFree {
  void operator()(void* buffer) const { std::free(buffer); }
};

std::string Reason(int code) {
  const char* text = spng_strerror(code);
  return text != nullptr ? text : "unknown error";
}

uint32_t BigEndian32(std::span<const uint8_t> bytes, size_t at) {
  if (bytes.size() < at + 4) return 0;
  return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// Everything a PNG writer needs besides the rows.
struct WriteJob {
  int width = 0;
  int height = 0;
  uint8_t colourType = SPNG_COLOR_TYPE_TRUECOLOR;
  size_t bytesPerPixel = 3;
  const uint8_t* rows = nullptr;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint8_t> alpha;
  const PngTexts* texts = nullptr;
};

Result<Bytes> Write(const WriteJob& job) {
  auto failed = [](int code) { return Error{"PNG encoding failed: " + Reason(code)}; };
  Context ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) return Error{"cannot start the PNG encoder"};
  if (int r = spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1); r != 0) return failed(r);
  spng_ihdr ihdr{};
  ihdr.width = uint32_t(job.width);
  ihdr.height = uint32_t(job.height);
  ihdr.bit_depth = 8;
  ihdr.color_type = job.colourType;
  if (int r = spng_set_ihdr(ctx.get(), &ihdr); r != 0) return failed(r);
  if (!job.palette.empty()) {
    spng_plte plte{};
    plte.n_entries = uint32_t(job.palette.size());
    for (size_t i = 0; i < job.palette.size(); ++i)
      plte.entries[i] = {uint8_t(job.palette[i] >> 16), uint8_t(job.palette[i] >> 8), uint8_t(job.palette[i]), 255};
    if (int r = spng_set_plte(ctx.get(), &plte); r != 0) return failed(r);
  }
  if (!job.alpha.empty()) {
    spng_trns trns{};
    trns.n_type3_entries = uint32_t(job.alpha.size());
    std::copy(job.alpha.begin(), job.alpha.end(), trns.type3_alpha);
    if (int r = spng_set_trns(ctx.get(), &trns); r != 0) return failed(r);
  }
  // The library keeps pointers to the values until the image is encoded.
  std::vector<spng_text> texts;
  if (job.texts != nullptr)
    for (const auto& [key, value] : *job.texts) {
      spng_text t{};
      if (key.empty() || key.size() >= sizeof(t.keyword)) return Error{"a PNG text keyword of 1 to 79 characters"};
      std::memcpy(t.keyword, key.data(), key.size());
      t.type = SPNG_TEXT;
      t.length = value.size();
      t.text = const_cast<char*>(value.c_str());
      texts.push_back(t);
    }
  if (!texts.empty())
    if (int r = spng_set_text(ctx.get(), texts.data(), uint32_t(texts.size())); r != 0) return failed(r);
  const size_t length = size_t(job.width) * size_t(job.height) * job.bytesPerPixel;
  if (int r = spng_encode_image(ctx.get(), job.rows, length, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE); r != 0)
    return failed(r);
  size_t size = 0;
  int error = 0;
  std::unique_ptr<void, BufferFree> buffer(spng_get_png_buffer(ctx.get(), &size, &error));
  if (!buffer) return failed(error);
  const auto* bytes = static_cast<const uint8_t*>(buffer.get());
  return Bytes(bytes, bytes + size);
}

// Rows of 1-, 2- or 4-bit indices, each row starting on a byte, as one index a byte.
std::vector<uint8_t> UnpackIndices(const std::vector<uint8_t>& packed, uint32_t width, uint32_t height, int depth) {
  if (depth == 8) return packed;
  std::vector<uint8_t> out(size_t(width) * size_t(height));
  const size_t stride = (size_t(width) * size_t(depth) + 7) / 8;
  const int perByte = 8 / depth;
  const uint8_t mask = uint8_t((1 << depth) - 1);
  for (size_t y = 0; y < height; ++y)
    for (size_t x = 0; x < width; ++x) {
      const uint8_t byte = packed[y * stride + x / size_t(perByte)];
      const int shift = 8 - depth * (int(x % size_t(perByte)) + 1);
      out[y * width + x] = uint8_t(byte >> shift) & mask;
    }
  return out;
}

}  // namespace

Result<Bytes> EncodePng(const PixelArea& area) {
  if (area.width <= 0 || area.height <= 0 || area.pixels.size() < size_t(area.width) * size_t(area.height))
    return Error{"an empty picture cannot be written as PNG"};
  std::vector<uint8_t> rows(size_t(area.width) * size_t(area.height) * 3);
  for (size_t k = 0; k < size_t(area.width) * size_t(area.height); ++k) {
    const uint32_t p = area.pixels[k];
    rows[3 * k] = uint8_t(p >> 16);
    rows[3 * k + 1] = uint8_t(p >> 8);
    rows[3 * k + 2] = uint8_t(p);
  }
  WriteJob job;
  job.width = area.width;
  job.height = area.height;
  job.rows = rows.data();
  return Write(job);
}

Status WritePng(const std::filesystem::path& path, const PixelArea& area) {
  Result<Bytes> png = EncodePng(area);
  if (!png) return png.passError();
  return WriteFileAtomic(path, *png, false);
}

Result<Bytes> EncodeIndexedPng(const IndexedPng& image) {
  const size_t pixels = size_t(std::max(image.width, 0)) * size_t(std::max(image.height, 0));
  if (pixels == 0 || image.indices.size() != pixels || image.colours.empty() || image.colours.size() > 256 ||
      image.alpha.size() > image.colours.size())
    return Error{"an empty or inconsistent picture cannot be written as PNG"};
  for (uint8_t index : image.indices)
    if (index >= image.colours.size()) return Error{"a pixel lies outside the PNG palette"};
  WriteJob job;
  job.width = image.width;
  job.height = image.height;
  job.colourType = SPNG_COLOR_TYPE_INDEXED;
  job.bytesPerPixel = 1;
  job.rows = image.indices.data();
  job.palette = image.colours;
  job.alpha = image.alpha;
  job.texts = &image.texts;
  return Write(job);
}

Result<Bytes> EncodeRgbaPng(int width, int height, std::span<const uint8_t> rgba, const PngTexts& texts) {
  if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4)
    return Error{"an empty or inconsistent picture cannot be written as PNG"};
  WriteJob job;
  job.width = width;
  job.height = height;
  job.colourType = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
  job.bytesPerPixel = 4;
  job.rows = rgba.data();
  job.texts = &texts;
  return Write(job);
}

std::string PngImage::Text(const std::string& keyword) const {
  for (const auto& [key, value] : texts)
    if (key == keyword) return value;
  return {};
}

Result<PngImage> DecodePng(std::span<const uint8_t> bytes, PngReadFailure& failure) {
  failure = PngReadFailure{};
  auto fail = [&](std::string reason) {
    failure.reason = std::move(reason);
    return Error{failure.reason};
  };
  if (bytes.size() < sizeof(kSignature) || std::memcmp(bytes.data(), kSignature, sizeof(kSignature)) != 0)
    return fail("no PNG signature");
  Context ctx(spng_ctx_new(0));
  if (!ctx) return fail("cannot start the PNG decoder");
  // Limits first: a header past them is refused before the rows are read,
  // and no chunk is held beyond what a game picture's file can need.
  if (spng_set_image_limits(ctx.get(), uint32_t(kMaxPictureWidth), uint32_t(kMaxPictureHeight)) != 0 ||
      spng_set_chunk_limits(ctx.get(), kMaxPngChunkBytes, kMaxPngChunkBytes) != 0)
    return fail("cannot set the PNG reader's limits");
  if (int r = spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size()); r != 0) return fail(Reason(r));
  spng_ihdr ihdr{};
  if (int r = spng_get_ihdr(ctx.get(), &ihdr); r != 0) {
    if (r == SPNG_EUSER_WIDTH || r == SPNG_EUSER_HEIGHT) {
      // The size as the header gives it (IHDR is the first chunk, or the read fails above).
      failure.tooLarge = true;
      failure.width = int(std::min<uint32_t>(BigEndian32(bytes, kIhdrWidthAt), 0x7FFFFFFF));
      failure.height = int(std::min<uint32_t>(BigEndian32(bytes, kIhdrHeightAt), 0x7FFFFFFF));
      failure.reason = "too large";
      return Error{failure.reason};
    }
    return fail(Reason(r));
  }
  PngImage image;
  image.width = int(ihdr.width);
  image.height = int(ihdr.height);
  const size_t pixels = size_t(ihdr.width) * size_t(ihdr.height);

  if (ihdr.color_type == SPNG_COLOR_TYPE_INDEXED) {
    spng_plte plte{};
    if (int r = spng_get_plte(ctx.get(), &plte); r != 0) return fail(Reason(r));
    image.indexed = true;
    for (uint32_t i = 0; i < plte.n_entries && i < 256; ++i)
      image.colours.push_back(uint32_t(plte.entries[i].red) << 16 | uint32_t(plte.entries[i].green) << 8 |
                              plte.entries[i].blue);
    image.alpha.assign(image.colours.size(), 255);
    spng_trns trns{};
    if (spng_get_trns(ctx.get(), &trns) == 0)
      for (uint32_t i = 0; i < trns.n_type3_entries && i < image.alpha.size(); ++i)
        image.alpha[i] = trns.type3_alpha[i];
    size_t length = 0;
    if (int r = spng_decoded_image_size(ctx.get(), SPNG_FMT_PNG, &length); r != 0) return fail(Reason(r));
    const size_t stride = (size_t(ihdr.width) * ihdr.bit_depth + 7) / 8;
    if (ihdr.bit_depth > 8 || length != stride * ihdr.height) return fail("unexpected row layout");
    std::vector<uint8_t> packed(length);
    if (int r = spng_decode_image(ctx.get(), packed.data(), packed.size(), SPNG_FMT_PNG, 0); r != 0)
      return fail(Reason(r));
    image.indices = UnpackIndices(packed, ihdr.width, ihdr.height, ihdr.bit_depth);
    image.rgba.assign(pixels * 4, 0);
    for (size_t k = 0; k < pixels; ++k) {
      const uint8_t i = image.indices[k];
      if (i >= image.colours.size()) continue;  // outside the palette: transparent black
      const uint32_t c = image.colours[i];
      image.rgba[4 * k] = uint8_t(c >> 16);
      image.rgba[4 * k + 1] = uint8_t(c >> 8);
      image.rgba[4 * k + 2] = uint8_t(c);
      image.rgba[4 * k + 3] = image.alpha[i];
    }
  } else {
    size_t length = 0;
    if (int r = spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &length); r != 0) return fail(Reason(r));
    if (length != pixels * 4) return fail("unexpected row layout");
    image.rgba.assign(length, 0);
    if (int r = spng_decode_image(ctx.get(), image.rgba.data(), image.rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
        r != 0)
      return fail(Reason(r));
  }

  // Text chunks before and after the pixels.
  uint32_t count = 0;
  if (spng_get_text(ctx.get(), nullptr, &count) == 0 && count > 0) {
    std::vector<spng_text> texts(count);
    if (spng_get_text(ctx.get(), texts.data(), &count) == 0)
      for (uint32_t i = 0; i < count && i < texts.size(); ++i) {
        const spng_text& t = texts[i];
        image.texts.emplace_back(std::string(t.keyword, strnlen(t.keyword, sizeof(t.keyword))),
                                 t.text != nullptr ? std::string(t.text, t.length) : std::string());
      }
  }
  return image;
}

}  // namespace tavrel
