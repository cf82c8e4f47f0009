#pragma once
// Picture sets to PNG files and back. A set is exported to a folder as one
// indexed PNG per picture, drawn with the game palette (colour = the 6-bit
// components × 4, transparent pixels a fully transparent palette entry, the
// picture's offsets in text chunks), and a list pictures.txt:
//
//   # number file width height x-offset y-offset
//   0 0000.png 48 56 0 56
//   1 absent
//
// An import reads that list and every PNG it names, checks everything before
// anything is written, keeps the bytes of every picture whose pixels, mask
// and offsets are unchanged and encodes the others; numbers past the end of
// the set append pictures. Indexed and RGB(A) PNGs are read: alpha below 128
// is transparent, any other colour maps to the nearest palette colour, and
// palette index kTransparentIndex is never given to a visible pixel.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"
#include "gamefiles/png_file.h"

namespace tavrel {

inline constexpr uint8_t kTransparentIndex = 0;
inline constexpr uint8_t kOpaqueFrom = 128;             // alpha from here on shows
inline constexpr uint64_t kMaxImportPixels = 1u << 24;  // a PNG larger than this is refused unread
inline constexpr const char* kPictureListName = "pictures.txt";
inline constexpr const char* kXOffsetKey = "XOffset";
inline constexpr const char* kYOffsetKey = "YOffset";

// Which set: the portraits, the tile set of a scene or a battle map (found as
// the game finds it), or any NAME.idx/NAME.grp pair.
struct PictureSetChoice {
  enum class Kind { Portraits, Scene, Battle, Pair } kind = Kind::Portraits;
  int number = 0;
  std::string name;
};

// From the words of a command line: "portraits", "scene K", "battle M" or
// "pair NAME"; `used` is how many words the choice took.
Result<PictureSetChoice> ParsePictureSetChoice(const std::vector<std::string>& words, size_t& used);

struct PictureSetPaths {
  std::filesystem::path index;
  std::filesystem::path data;
};
// The files of the set in `dir`; an error names what was looked for.
Result<PictureSetPaths> FindPictureSetFiles(const std::filesystem::path& dir, const PictureSetChoice& choice);

// The file name of picture `number` in an exported folder.
std::string PictureFileName(size_t number);

// The picture as a PNG file's bytes (indexed with the palette; a picture that
// shows palette index kTransparentIndex is written as RGBA so no pixel is
// lost). An absent picture is an error.
Result<Bytes> PictureToPng(const RlePicture& picture, const Palette& palette);
Status ExportPicture(const RlePicture& picture, const Palette& palette, const std::filesystem::path& file);

struct PictureExportReport {
  int written = 0;
  int absent = 0;
};
// Writes every picture and pictures.txt into `folder` (made when missing).
Result<PictureExportReport> ExportPictureSet(const PictureSet& set, const Palette& palette,
                                             const std::filesystem::path& folder);

// A PNG taken to the game's pixels.
struct MappedPicture {
  IndexedPicture picture;
  uint64_t mappedPixels = 0;  // visible pixels whose colour is no palette colour
  bool offsetsGiven = false;  // the PNG carried both offsets
};

// Finds the nearest palette colour of a 0x00RRGGBB colour (never
// kTransparentIndex), remembering the colours asked for.
class PaletteMatcher {
 public:
  explicit PaletteMatcher(const Palette& palette);
  // The index and whether the colour is exactly the palette's.
  uint8_t Nearest(uint32_t rgb, bool& exact);
  uint32_t Colour(uint8_t index) const { return palette_[index]; }

 private:
  Palette palette_;
  std::vector<std::pair<uint32_t, uint16_t>> cache_;  // open addressing; second: index | exact << 8, 0xFFFF empty
};

// The pixels of a decoded PNG in the palette. Offsets come from its text
// chunks when it has them (else 0, 0).
MappedPicture MapPngToPalette(const PngImage& image, PaletteMatcher& matcher);

// Reads one PNG file into the palette's pixels; errors name the file (damaged,
// too large for the game's format, unreadable).
Result<MappedPicture> ReadPngPicture(const std::filesystem::path& file, PaletteMatcher& matcher);

struct PictureImport {
  PictureSet set;   // the set as it will be written
  int kept = 0;     // pictures whose bytes stay as they were (absent ones included)
  int encoded = 0;  // pictures encoded afresh
  int added = 0;    // of those, numbers past the end of the old set
  uint64_t mappedPixels = 0;
};
// Reads `folder` against `current` and builds the new set; nothing is written.
Result<PictureImport> PlanPictureImport(const PictureSet& current, const Palette& palette,
                                        const std::filesystem::path& folder, bool reencodeAll);

// Replaces the pair with the set, both files or neither, keeping NAME.bak.
Status WritePictureSet(const PictureSetPaths& paths, const PictureSet& set);

// Whether two pictures hold the same bytes (header and data), ignoring colours.
bool SamePictureBytes(const RlePicture& a, const RlePicture& b);

}  // namespace tavrel
