#include "app/picture_sets.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>

#include "app/tile_sets.h"
#include "gamefiles/idx_grp.h"
#include "gamefiles/picture_encode.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;
namespace {

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The lowest palette index no visible pixel of the picture uses, or -1 when
// it shows all 256.
int UnusedIndex(const IndexedPicture& picture) {
  std::array<bool, 256> used{};
  for (size_t k = 0; k < picture.indices.size(); ++k)
    if (picture.visible[k] != 0) used[picture.indices[k]] = true;
  for (size_t i = 0; i < used.size(); ++i)
    if (!used[i]) return int(i);
  return -1;
}

bool AnyTransparent(const IndexedPicture& picture) {
  return std::find(picture.visible.begin(), picture.visible.end(), uint8_t{0}) != picture.visible.end();
}

uint32_t Distance(uint32_t a, uint32_t b) {
  const int dr = int(a >> 16 & 0xFF) - int(b >> 16 & 0xFF);
  const int dg = int(a >> 8 & 0xFF) - int(b >> 8 & 0xFF);
  const int db = int(a & 0xFF) - int(b & 0xFF);
  return uint32_t(dr * dr + dg * dg + db * db);
}

constexpr const char* kListHeading =
    "# number file width height x-offset y-offset format\n"
    "# format: indexed = the game palette in its order (a transparent pixel takes an entry no visible pixel uses),\n"
    "#         rgba = every palette index shows, so transparency is the alpha channel\n"
    "# N absent: no picture; N damaged: a header of an impossible size, kept as it is\n";

struct ListLine {
  bool absent = true;
  std::string file;
  int16_t xOffset = 0;
  int16_t yOffset = 0;
  int line = 0;
};

// pictures.txt: one line per picture number, numbers from 0 without a gap.
Result<std::vector<ListLine>> ReadPictureList(const fs::path& folder) {
  const fs::path listPath = folder / kPictureListName;
  Result<Bytes> bytes = ReadWholeFile(listPath);
  if (!bytes) return bytes.passError();
  std::vector<ListLine> lines;
  std::vector<bool> seen;
  std::string text(bytes->begin(), bytes->end());
  std::istringstream in(text);
  int lineNumber = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    auto bad = [&] {
      return Error{FormatInterfaceString(Str::PictureListLineBad, listPath.string(), lineNumber, line)};
    };
    int number = 0, width = 0, height = 0, x = 0, y = 0;
    if (!ParseInt(w[0], number) || number < 0 || number >= (1 << 20)) return bad();
    ListLine entry;
    entry.line = lineNumber;
    if (w.size() == 2 && (w[1] == "absent" || w[1] == "damaged")) {
      entry.absent = true;
    } else if ((w.size() == 6 || (w.size() == 7 && (w[6] == PngFormatName(PngFormat::Indexed) ||
                                                    w[6] == PngFormatName(PngFormat::Rgba)))) &&
               ParseInt(w[2], width) && ParseInt(w[3], height) && ParseInt(w[4], x) && ParseInt(w[5], y) &&
               x >= -32768 && x <= 32767 && y >= -32768 && y <= 32767 &&
               w[1].find_first_of("/\\") == std::string::npos && w[1] != "." && w[1] != "..") {
      // Files lie in the folder itself.
      entry.absent = false;
      entry.file = w[1];
      entry.xOffset = int16_t(x);
      entry.yOffset = int16_t(y);
    } else {
      return bad();
    }
    if (size_t(number) >= lines.size()) {
      lines.resize(size_t(number) + 1);
      seen.resize(size_t(number) + 1, false);
    }
    if (seen[size_t(number)]) return bad();
    seen[size_t(number)] = true;
    lines[size_t(number)] = std::move(entry);
  }
  for (size_t k = 0; k < seen.size(); ++k)
    if (!seen[k]) return Error{FormatInterfaceString(Str::PictureListNumberMissing, listPath.string(), k)};
  return lines;
}

}  // namespace

Result<PictureSetChoice> ParsePictureSetChoice(const std::vector<std::string>& words, size_t& used) {
  used = 0;
  const std::string first = words.empty() ? std::string() : words[0];
  PictureSetChoice choice;
  if (first == "portraits") {
    used = 1;
    return choice;
  }
  const std::string second = words.size() > 1 ? words[1] : std::string();
  const std::string shown = second.empty() ? first : first + " " + second;
  if (first == "scene" || first == "battle") {
    if (!ParseInt(second, choice.number) || choice.number < 0 || choice.number > 999)
      return Error{FormatInterfaceString(Str::PictureSetUnknown, shown)};
    choice.kind = first == "scene" ? PictureSetChoice::Kind::Scene : PictureSetChoice::Kind::Battle;
    used = 2;
    return choice;
  }
  if (first == "pair" && !second.empty() && second.find_first_of("/\\") == std::string::npos) {
    choice.kind = PictureSetChoice::Kind::Pair;
    choice.name = second;
    used = 2;
    return choice;
  }
  return Error{FormatInterfaceString(Str::PictureSetUnknown, shown)};
}

Result<PictureSetPaths> FindPictureSetFiles(const fs::path& dir, const PictureSetChoice& choice) {
  using Kind = PictureSetChoice::Kind;
  if (choice.kind == Kind::Scene || choice.kind == Kind::Battle) {
    Result<Bytes> zdat = ReadWholeFile(FindGameFile(dir, "z.dat"));
    const TileSetSearch search =
        FindTileSet(dir, zdat ? *zdat : Bytes{}, choice.kind == Kind::Scene ? TileSetKind::Scene : TileSetKind::Battle,
                    choice.number);
    if (!search.found) {
      std::string names;
      for (const std::string& name : search.tried) names += (names.empty() ? "" : ", ") + name;
      return Error{FormatInterfaceString(Str::TileFilesNotFound, names)};
    }
    return PictureSetPaths{search.found->index, search.found->data};
  }
  const std::string base = choice.kind == Kind::Portraits ? std::string("hdgrp") : choice.name;
  PictureSetPaths paths{FindGameFile(dir, base + ".idx"), FindGameFile(dir, base + ".grp")};
  std::error_code ec;
  if (!fs::exists(paths.index, ec) || !fs::exists(paths.data, ec))
    return Error{FormatInterfaceString(Str::PictureSetMissing, dir.string(), base + ".idx/" + base + ".grp")};
  return paths;
}

std::string PictureFileName(size_t number) { return fmt::format("{:04}.png", number); }

const char* PngFormatName(PngFormat format) { return format == PngFormat::Indexed ? "indexed" : "rgba"; }

Result<Bytes> PictureToPng(const RlePicture& picture, const Palette& palette, PngFormat* format) {
  if (!PictureShows(picture)) return Error{"a picture without pixels has no PNG"};
  const IndexedPicture pixels = DecodePictureIndices(picture);
  const PngTexts texts{{kXOffsetKey, std::to_string(picture.xOffset)}, {kYOffsetKey, std::to_string(picture.yOffset)}};
  const bool transparent = AnyTransparent(pixels);
  const int unused = transparent ? UnusedIndex(pixels) : -1;
  if (format != nullptr) *format = transparent && unused < 0 ? PngFormat::Rgba : PngFormat::Indexed;
  if (transparent && unused < 0) {
    std::vector<uint8_t> rgba(pixels.indices.size() * 4, 0);
    for (size_t k = 0; k < pixels.indices.size(); ++k) {
      if (pixels.visible[k] == 0) continue;
      const uint32_t c = palette[pixels.indices[k]];
      rgba[4 * k] = uint8_t(c >> 16);
      rgba[4 * k + 1] = uint8_t(c >> 8);
      rgba[4 * k + 2] = uint8_t(c);
      rgba[4 * k + 3] = 255;
    }
    return EncodeRgbaPng(pixels.width, pixels.height, rgba, texts);
  }
  IndexedPng png;
  png.width = pixels.width;
  png.height = pixels.height;
  png.indices = pixels.indices;
  png.colours.assign(palette.begin(), palette.end());
  if (transparent) {
    // The unused entry is the transparent one: tRNS lists every entry up to it.
    for (size_t k = 0; k < png.indices.size(); ++k)
      if (pixels.visible[k] == 0) png.indices[k] = uint8_t(unused);
    png.alpha.assign(size_t(unused) + 1, 255);
    png.alpha[size_t(unused)] = 0;
  }
  png.texts = texts;
  return EncodeIndexedPng(png);
}

Status ExportPicture(const RlePicture& picture, const Palette& palette, const fs::path& file) {
  Result<Bytes> png = PictureToPng(picture, palette);
  if (!png) return png.passError();
  return WriteFileAtomic(file, *png, false);
}

Result<PictureExportReport> ExportPictureSet(const PictureSet& set, const Palette& palette, const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return Error{FormatInterfaceString(Str::FolderNotCreated, folder.string(), ec.message())};
  PictureExportReport report;
  std::string list = kListHeading;
  for (size_t k = 0; k < set.size(); ++k) {
    const RlePicture& picture = set[k];
    if (!PictureShows(picture)) {
      const bool damaged = PictureDamaged(picture);
      list += fmt::format("{} {}\n", k, damaged ? "damaged" : "absent");
      ++report.absent;
      if (damaged) ++report.damaged;
      continue;
    }
    const std::string name = PictureFileName(k);
    PngFormat format = PngFormat::Indexed;
    Result<Bytes> png = PictureToPng(picture, palette, &format);
    if (!png) return png.passError();
    if (Status written = WriteFileAtomic(folder / name, *png, false); !written) return written.passError();
    list += fmt::format("{} {} {} {} {} {} {}\n", k, name, picture.width, picture.height, picture.xOffset,
                        picture.yOffset, PngFormatName(format));
    ++report.written;
  }
  Status listed = WriteFileAtomic(folder / kPictureListName, Bytes(list.begin(), list.end()), false);
  if (!listed) return listed.passError();
  return report;
}

PaletteMatcher::PaletteMatcher(const Palette& palette) : palette_(palette), cache_(4096, {0, 0xFFFF}) {}

uint8_t PaletteMatcher::Nearest(uint32_t rgb, bool& exact) {
  rgb &= 0xFFFFFF;
  size_t slot = size_t((rgb * 2654435761u) >> 20) & (cache_.size() - 1);
  for (;;) {
    auto& [key, value] = cache_[slot];
    if (value == 0xFFFF) break;
    if (key == rgb) {
      exact = (value >> 8) != 0;
      return uint8_t(value);
    }
    slot = (slot + 1) & (cache_.size() - 1);
  }
  uint8_t best = 0;
  uint32_t bestDistance = UINT32_MAX;
  for (size_t i = 0; i < palette_.size(); ++i) {
    const uint32_t d = Distance(rgb, palette_[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = uint8_t(i);
      if (d == 0) break;
    }
  }
  exact = bestDistance == 0;
  size_t used = 0;
  for (const auto& item : cache_) used += item.second != 0xFFFF ? 1 : 0;
  if (used * 2 < cache_.size()) cache_[slot] = {rgb, uint16_t(best | (exact ? 0x100 : 0))};
  return best;
}

MappedPicture MapPngToPalette(const PngImage& image, PaletteMatcher& matcher, const IndexedPicture* current) {
  MappedPicture out;
  IndexedPicture& p = out.picture;
  p.width = image.width;
  p.height = image.height;
  const size_t pixels = size_t(image.width) * size_t(image.height);
  p.indices.assign(pixels, 0);
  p.visible.assign(pixels, 0);
  // An indexed PNG whose entry i is the game's colour i names index i itself,
  // so colours the palette holds twice come back as they were.
  std::vector<int> direct;
  if (image.indexed) {
    direct.assign(image.colours.size(), -1);
    for (size_t i = 0; i < image.colours.size() && i < 256; ++i)
      if (image.colours[i] == matcher.Colour(uint8_t(i))) direct[i] = int(i);
  }
  const bool hinted =
      current != nullptr &&
      current->indices.size() == size_t(std::max(current->width, 0)) * size_t(std::max(current->height, 0)) &&
      current->visible.size() == current->indices.size();
  for (size_t k = 0; k < pixels; ++k) {
    if (image.rgba[4 * k + 3] < kOpaqueFrom) continue;
    p.visible[k] = 1;
    const uint32_t rgb =
        uint32_t(image.rgba[4 * k]) << 16 | uint32_t(image.rgba[4 * k + 1]) << 8 | image.rgba[4 * k + 2];
    // The index the picture had here, while its colour is still this one.
    const int x = int(k % size_t(image.width)), y = int(k / size_t(image.width));
    if (hinted && x < current->width && y < current->height) {
      const size_t at = current->at(x, y);
      if (current->visible[at] != 0 && matcher.Colour(current->indices[at]) == rgb) {
        p.indices[k] = current->indices[at];
        continue;
      }
    }
    if (image.indexed && image.indices[k] < direct.size() && direct[image.indices[k]] >= 0) {
      p.indices[k] = uint8_t(direct[image.indices[k]]);
      continue;
    }
    bool exact = false;
    p.indices[k] = matcher.Nearest(rgb, exact);
    if (!exact) ++out.mappedPixels;
  }
  int x = 0, y = 0;
  const std::string xText = image.Text(kXOffsetKey), yText = image.Text(kYOffsetKey);
  if (ParseInt(xText, x) && ParseInt(yText, y) && x >= -32768 && x <= 32767 && y >= -32768 && y <= 32767) {
    p.xOffset = int16_t(x);
    p.yOffset = int16_t(y);
    out.offsetsGiven = true;
  }
  return out;
}

Result<MappedPicture> ReadPngPicture(const fs::path& file, PaletteMatcher& matcher, const IndexedPicture* current) {
  Result<Bytes> bytes = ReadWholeFile(file);
  if (!bytes) return bytes.passError();
  PngReadFailure failure;
  Result<PngImage> image = DecodePng(*bytes, failure);
  if (!image) {
    if (failure.tooLarge)
      return Error{FormatInterfaceString(Str::PngTooLarge, file.string(), failure.width, failure.height,
                                         kMaxPictureWidth, kMaxPictureHeight)};
    return Error{FormatInterfaceString(Str::PngDamaged, file.string(), failure.reason)};
  }
  if (image->width < 1 || image->height < 1)
    return Error{FormatInterfaceString(Str::PngDamaged, file.string(), "no pixels")};
  return MapPngToPalette(*image, matcher, current);
}

bool SamePictureBytes(const RlePicture& a, const RlePicture& b) {
  if (a.absent != 0 || b.absent != 0) return (a.absent != 0) == (b.absent != 0);
  return a.width == b.width && a.height == b.height && a.xOffset == b.xOffset && a.yOffset == b.yOffset &&
         a.data == b.data;
}

Result<PictureImport> PlanPictureImport(const PictureSet& current, const Palette& palette, const fs::path& folder,
                                        bool reencodeAll) {
  Result<std::vector<ListLine>> list = ReadPictureList(folder);
  if (!list) return list.passError();
  const fs::path listPath = folder / kPictureListName;
  if (list->size() < current.size())
    return Error{FormatInterfaceString(Str::PictureListShorter, listPath.string(), list->size(), current.size())};
  PictureImport result;
  result.set.resize(list->size());
  PaletteMatcher matcher(palette);
  for (size_t k = 0; k < list->size(); ++k) {
    const ListLine& line = (*list)[k];
    const bool existing = k < current.size();
    RlePicture& out = result.set[k];
    if (line.absent) {
      // The export lists an entry without pixels (absent, or a header of no
      // size) as absent; such an entry keeps its bytes.
      if (existing && !PictureShows(current[k])) {
        out = current[k];
        ++result.kept;
      } else {
        out = RlePicture{};
        // An absent picture has no bytes to encode; it counts as a change.
        ++result.encoded;
        if (!existing) ++result.added;
      }
      continue;
    }
    const fs::path file = folder / line.file;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
      return Error{FormatInterfaceString(Str::PictureListFileMissing, listPath.string(), line.line, file.string())};
    // The picture it replaces: its indices win among equal colours, and
    // pixels equal colour by colour to its own keep its bytes.
    const bool replaces = existing && PictureShows(current[k]);
    const IndexedPicture before = replaces ? DecodePictureIndices(current[k]) : IndexedPicture{};
    Result<MappedPicture> mapped = ReadPngPicture(file, matcher, replaces ? &before : nullptr);
    if (!mapped) return mapped.passError();
    result.mappedPixels += mapped->mappedPixels;
    IndexedPicture& pixels = mapped->picture;
    pixels.xOffset = line.xOffset;
    pixels.yOffset = line.yOffset;
    if (replaces && !reencodeAll && before == pixels) {
      out = current[k];
      ++result.kept;
      continue;
    }
    Result<RlePicture> encoded = EncodeRlePicture(pixels, palette);
    if (!encoded) return Error{FormatInterfaceString(Str::PictureFileRefused, file.string(), encoded.error())};
    out = std::move(*encoded);
    ++result.encoded;
    if (!existing) ++result.added;
  }
  return result;
}

Status WritePictureSet(const PictureSetPaths& paths, const PictureSet& set) {
  std::vector<FileWrite> files(2);
  files[0].path = paths.index;
  files[1].path = paths.data;
  EncodePictureSet(set, files[0].bytes, files[1].bytes);
  return WriteFilesAtomic(files, true);
}

}  // namespace tavrel
