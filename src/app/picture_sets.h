#pragma once
// Picture sets to PNG files and back. A set is exported to a folder as one
// PNG per picture with the picture's offsets in text chunks, and a list
// pictures.txt:
//
//   # number file width height x-offset y-offset format
//   0 0000.png 48 56 0 56 indexed
//   1 absent
//   2 damaged
//
// In this format every palette index is a colour (index 0 too); which pixels
// show is a matter of the rows' skips. A picture is written as an indexed PNG
// with the game palette in its order (colour = the 6-bit components × 4) when
// that keeps every index: a picture with transparent pixels needs an entry
// no visible pixel uses, which the PNG marks fully transparent. A picture
// with transparent pixels that shows all 256 indices is written as RGBA.
// "absent" is a number without a picture, "damaged" one whose header claims
// an impossible size (no PNG; the import keeps its bytes).
//
// An import reads that list and every PNG it names, checks everything before
// anything is written, keeps the bytes of every picture whose pixels (colour
// by colour, transparency by transparency) and offsets are unchanged, and
// encodes the others; numbers past the end of the set append pictures.
// Indexed and RGB(A) PNGs are read: alpha below 128 is transparent. A visible
// pixel keeps the index the picture had there when its colour is still that
// index's; else an indexed PNG's own index when its entry is the game's
// colour at that index; else the lowest palette index of exactly its colour;
// else the nearest colour (counted as mapped).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"
#include "gamefiles/png_file.h"

namespace tavrel {

inline constexpr uint8_t kOpaqueFrom = 128;  // alpha from here on shows
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

enum class PngFormat { Indexed, Rgba };
// Its word in pictures.txt: "indexed" or "rgba".
const char* PngFormatName(PngFormat format);

// The picture as a PNG file's bytes, indexed when that keeps every index,
// else RGBA (see above); `format` (when given) says which. A picture that
// does not show (absent, damaged, no pixels) is an error.
Result<Bytes> PictureToPng(const RlePicture& picture, const Palette& palette, PngFormat* format = nullptr);
Status ExportPicture(const RlePicture& picture, const Palette& palette, const std::filesystem::path& file);

struct PictureExportReport {
  int written = 0;
  int absent = 0;   // numbers without pixels, the damaged ones included
  int damaged = 0;  // of those, pictures of an impossible size
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

// Finds the palette index of a 0x00RRGGBB colour: the lowest index of
// exactly that colour, else the nearest colour (the lowest of equally near
// ones); index 0 is a colour like any other. Remembers the colours asked for.
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

// The pixels of a decoded PNG in the palette, by the rules above; `current`
// is the picture the PNG replaces (its index at a pixel wins among equal
// colours), or nullptr. Offsets come from its text chunks when it has them
// (else 0, 0).
MappedPicture MapPngToPalette(const PngImage& image, PaletteMatcher& matcher, const IndexedPicture* current = nullptr);

// Reads one PNG file into the palette's pixels; errors name the file (damaged,
// too large for the game's format, unreadable).
Result<MappedPicture> ReadPngPicture(const std::filesystem::path& file, PaletteMatcher& matcher,
                                     const IndexedPicture* current = nullptr);

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
