#include "gamefiles/png_file.h"

#include <png.h>

#include <csetjmp>
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
  std::vector<png_bytep> rowPointers(size_t(area.height));
  for (size_t y = 0; y < rowPointers.size(); ++y) rowPointers[y] = rows.data() + y * size_t(area.width) * 3;

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
  png_set_IHDR(png, info, png_uint_32(area.width), png_uint_32(area.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Status WritePng(const std::filesystem::path& path, const PixelArea& area) {
  Result<Bytes> png = EncodePng(area);
  if (!png) return png.passError();
  return WriteFileAtomic(path, *png, false);
}

}  // namespace tavrel
