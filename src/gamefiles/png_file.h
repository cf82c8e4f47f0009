#pragma once
// Pictures written as PNG files (8-bit RGB), for pictures of the game's maps.
#include <filesystem>

#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"
#include "base/result.h"

namespace tavrel {

// The area as a PNG image: one RGB pixel for each 0x00RRGGBB pixel.
Result<Bytes> EncodePng(const PixelArea& area);

// Writes EncodePng(area) to `path`, replacing the file atomically.
Status WritePng(const std::filesystem::path& path, const PixelArea& area);

}  // namespace tavrel
