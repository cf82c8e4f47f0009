#include "gamefiles/png_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>

namespace tavrel {
namespace {

struct PngTarget {
  Bytes* out = nullptr;
  std::string error;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* target = static_cast<PngTarget*>(png_get_io_ptr(png));
  target->out->insert(target->out->end(), data, data + length);
}

void Flush(png_structp) {}

void Fail(png_structp png, png_const_charp message) {
  auto* target = static_cast<PngTarget*>(png_get_error_ptr(png));
  target->error = message ? message : "unknown error";
  png_longjmp(png, 1);
}

void Warn(png_structp, png_const_charp) {}

// Everything a PNG writer needs besides the header and the rows.
struct WriteJob {
  int width = 0;
  int height = 0;
  int colourType = PNG_COLOR_TYPE_RGB;
  size_t bytesPerPixel = 3;
  const png_byte* rows = nullptr;
  std::vector<png_color> palette;
  std::vector<png_byte> alpha;
  const PngTexts* texts = nullptr;
};

Result<Bytes> Write(const WriteJob& job) {
  std::vector<png_bytep> rowPointers(size_t(job.height));
  const size_t stride = size_t(job.width) * job.bytesPerPixel;
  for (size_t y = 0; y < rowPointers.size(); ++y) rowPointers[y] = const_cast<png_bytep>(job.rows + y * stride);
  std::vector<png_text> texts;
  if (job.texts != nullptr)
    for (const auto& [key, value] : *job.texts) {
      png_text t{};
      t.compression = PNG_TEXT_COMPRESSION_NONE;
      t.key = const_cast<png_charp>(key.c_str());
      t.text = const_cast<png_charp>(value.c_str());
      t.text_length = value.size();
      texts.push_back(t);
    }

  Bytes out;
  PngTarget target{&out, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, Fail, Warn);
  if (png == nullptr) return Error{"cannot start the PNG encoder"};
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return Error{"cannot start the PNG encoder"};
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return Error{"PNG encoding failed: " + target.error};
  }
  png_set_write_fn(png, &target, Append, Flush);
  png_set_IHDR(png, info, png_uint_32(job.width), png_uint_32(job.height), 8, job.colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!job.palette.empty()) png_set_PLTE(png, info, job.palette.data(), int(job.palette.size()));
  if (!job.alpha.empty()) png_set_tRNS(png, info, job.alpha.data(), int(job.alpha.size()), nullptr);
  if (!texts.empty()) png_set_text(png, info, texts.data(), int(texts.size()));
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct PngSource {
  std::span<const uint8_t> bytes;
  size_t at = 0;
  std::string error;
};

void Read(png_structp png, png_bytep data, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->bytes.size() - source->at) png_error(png, "the file ends early");
  std::memcpy(data, source->bytes.data() + source->at, length);
  source->at += length;
}

void ReadFail(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  source->error = message ? message : "unknown error";
  png_longjmp(png, 1);
}

void CollectTexts(png_structp png, png_infop info, PngTexts& texts) {
  if (info == nullptr) return;
  png_textp text = nullptr;
  int count = 0;
  png_get_text(png, info, &text, &count);
  for (int i = 0; i < count; ++i)
    texts.emplace_back(text[i].key ? text[i].key : "",
                       text[i].text ? std::string(text[i].text, text[i].text_length) : "");
}

}  // namespace

Result<Bytes> EncodePng(const PixelArea& area) {
  if (area.width <= 0 || area.height <= 0 || area.pixels.size() < size_t(area.width) * size_t(area.height))
    return Error{"an empty picture cannot be written as PNG"};
  std::vector<png_byte> rows(size_t(area.width) * size_t(area.height) * 3);
  for (size_t k = 0; k < size_t(area.width) * size_t(area.height); ++k) {
    const uint32_t p = area.pixels[k];
    rows[3 * k] = png_byte(p >> 16);
    rows[3 * k + 1] = png_byte(p >> 8);
    rows[3 * k + 2] = png_byte(p);
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
  job.colourType = PNG_COLOR_TYPE_PALETTE;
  job.bytesPerPixel = 1;
  job.rows = image.indices.data();
  for (uint32_t c : image.colours) job.palette.push_back(png_color{png_byte(c >> 16), png_byte(c >> 8), png_byte(c)});
  job.alpha.assign(image.alpha.begin(), image.alpha.end());
  job.texts = &image.texts;
  return Write(job);
}

Result<Bytes> EncodeRgbaPng(int width, int height, std::span<const uint8_t> rgba, const PngTexts& texts) {
  if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4)
    return Error{"an empty or inconsistent picture cannot be written as PNG"};
  WriteJob job;
  job.width = width;
  job.height = height;
  job.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
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

Result<PngImage> DecodePng(std::span<const uint8_t> bytes, int maxSide, uint64_t maxPixels, PngReadFailure& failure) {
  failure = PngReadFailure{};
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
    failure.reason = "no PNG signature";
    return Error{failure.reason};
  }
  PngImage image;
  PngSource source{bytes, 0, {}};
  std::vector<png_bytep> rowPointers;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, ReadFail, Warn);
  if (png == nullptr) return Error{"cannot start the PNG decoder"};
  png_infop info = png_create_info_struct(png);
  png_infop endInfo = info != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || endInfo == nullptr) {
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    return Error{"cannot start the PNG decoder"};
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, &endInfo);
    failure.reason = source.error;
    return Error{failure.reason};
  }
  png_set_read_fn(png, &source, Read);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
  if (width > png_uint_32(maxSide) || height > png_uint_32(maxSide) || uint64_t(width) * height > maxPixels) {
    png_destroy_read_struct(&png, &info, &endInfo);
    failure.tooLarge = true;
    failure.width = int(std::min<png_uint_32>(width, 0x7FFFFFFF));
    failure.height = int(std::min<png_uint_32>(height, 0x7FFFFFFF));
    return Error{"too large"};
  }
  image.width = int(width);
  image.height = int(height);
  const size_t pixels = size_t(width) * size_t(height);

  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp plte = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &plte, &count);
    image.indexed = true;
    for (int i = 0; i < count; ++i)
      image.colours.push_back(uint32_t(plte[i].red) << 16 | uint32_t(plte[i].green) << 8 | plte[i].blue);
    image.alpha.assign(image.colours.size(), 255);
    png_bytep trans = nullptr;
    int transCount = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
      png_get_tRNS(png, info, &trans, &transCount, nullptr);
      for (int i = 0; i < transCount && size_t(i) < image.alpha.size(); ++i) image.alpha[size_t(i)] = trans[i];
    }
    if (depth < 8) png_set_packing(png);
  } else {
    if (depth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (depth < 8 && colourType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (!(colourType & PNG_COLOR_MASK_ALPHA)) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const size_t wanted = image.indexed ? size_t(width) : size_t(width) * 4;
  if (rowBytes != wanted) png_error(png, "unexpected row layout");
  std::vector<uint8_t>& target = image.indexed ? image.indices : image.rgba;
  target.assign(pixels * (image.indexed ? 1 : 4), 0);
  rowPointers.resize(size_t(height));
  for (size_t y = 0; y < rowPointers.size(); ++y) rowPointers[y] = target.data() + y * rowBytes;
  png_read_image(png, rowPointers.data());
  png_read_end(png, endInfo);
  CollectTexts(png, info, image.texts);
  CollectTexts(png, endInfo, image.texts);
  png_destroy_read_struct(&png, &info, &endInfo);

  if (image.indexed) {
    image.rgba.assign(pixels * 4, 0);
    for (size_t k = 0; k < pixels; ++k) {
      const uint8_t i = image.indices[k];
      if (i >= image.colours.size()) continue;  // libpng rejects these; kept transparent black otherwise
      const uint32_t c = image.colours[i];
      image.rgba[4 * k] = uint8_t(c >> 16);
      image.rgba[4 * k + 1] = uint8_t(c >> 8);
      image.rgba[4 * k + 2] = uint8_t(c);
      image.rgba[4 * k + 3] = image.alpha[i];
    }
  }
  return image;
}

}  // namespace tavrel
