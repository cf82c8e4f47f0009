#include "app/editor_state.h"

#include <algorithm>

#include "app/save_plan.h"
#include "gamefiles/file_io.h"
#include "gamefiles/picture_encode.h"
#include "text/ui_strings.h"

namespace tavrel {

std::filesystem::path GameFilePath(const EditorState& state, const std::string& name) {
  return FindGameFile(std::filesystem::path(state.gameDirectory), name);
}

Result<StartupResult> InitializeEditor(EditorState& state, GameCharset charset) {
  StartupResult result;
  state.charset = charset;
  auto tables = std::make_shared<CharsetTables>();
  Status mb = LoadCharsetTables(state.programDir / "mb.dat", *tables);
  if (!mb) result.warnings.push_back(mb.error());
  state.charsetTables = tables;
  state.codec = std::make_shared<TextCodec>(charset, tables);

  auto attributes = LoadAttributeTable(state.programDir, *state.codec);
  if (!attributes) return attributes.passError();
  if (EnglishInterface())
    if (Status names = LoadInstructionNames(state.programDir, *attributes); !names) return names.passError();
  state.attributes = *attributes;
  return result;
}

namespace {

// The palette shown when mmap.col cannot be read: index i is grey level i.
Palette GreyPalette() {
  Palette palette{};
  for (uint32_t i = 0; i < palette.size(); ++i) palette[i] = i << 16 | i << 8 | i;
  return palette;
}

// The warning for an optional pair that could not be read: it names the
// file of the pair that the message names (the index when both are).
FileWarning PairWarning(const EditorState& state, const std::string& idxName, const std::string& grpName,
                        const std::string& message) {
  const std::string grpPath = GameFilePath(state, grpName).string();
  const bool aboutGrp = message.find(GameFilePath(state, idxName).string()) == std::string::npos &&
                        message.find(grpPath) != std::string::npos;
  return {GameFilePath(state, aboutGrp ? grpName : idxName).filename().string(), message};
}

// An optional pair that could not be read: every file of it that is missing,
// or else the one the message is about.
void WarnPair(const EditorState& state, const std::string& idxName, const std::string& grpName,
              const std::string& message, std::vector<FileWarning>& warnings) {
  bool missing = false;
  for (const std::string& name : {idxName, grpName}) {
    const std::filesystem::path path = GameFilePath(state, name);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) continue;
    warnings.push_back({path.filename().string(), FormatInterfaceString(Str::FileNotFound, path.string())});
    missing = true;
  }
  if (!missing) warnings.push_back(PairWarning(state, idxName, grpName, message));
}

void Append(std::vector<FileWarning>& to, std::vector<FileWarning>& from) {
  for (FileWarning& w : from) to.push_back(std::move(w));
}

}  // namespace

namespace {

bool BothMissing(const EditorState& state, const std::string& idxName, const std::string& grpName) {
  std::error_code ec;
  return !std::filesystem::exists(GameFilePath(state, idxName), ec) &&
         !std::filesystem::exists(GameFilePath(state, grpName), ec);
}

}  // namespace

Result<GameReadReport> ReadGameFiles(EditorState& state, ReadNeeds needs) {
  const std::filesystem::path dir(state.gameDirectory);
  const TextCodec& codec = state.text();
  // Everything is read into a fresh GameData first; the state changes only
  // when the needed files were read.
  GameData next;
  GameReadReport report;

  // A directory without dialogue (a game whose dialogue lives elsewhere)
  // opens all the same; a dialogue pair that cannot be read stops the read,
  // so that a save can never put an empty one in its place.
  if (BothMissing(state, "talk.idx", "talk.grp")) {
    next.talkMissing = true;
    report.warnings.push_back({GameFilePath(state, "talk.idx").filename().string(),
                               FormatInterfaceString(Str::DialogueMissing, GameFilePath(state, "talk.idx").string(),
                                                     GameFilePath(state, "talk.grp").string())});
  } else {
    auto talk = LoadTalk(dir, codec, &report.warnings);
    if (!talk) return talk.passError();
    next.talk = std::move(*talk);
  }

  auto palette = LoadPalette(dir);
  if (palette) {
    next.palette = *palette;
  } else {
    next.palette = GreyPalette();
    report.warnings.push_back({GameFilePath(state, "mmap.col").filename().string(), palette.error()});
  }

  std::vector<FileWarning> portraitWarnings;
  auto portraits = LoadPictureSet(dir, "hdgrp.idx", "hdgrp.grp", next.palette, &portraitWarnings);
  if (portraits) {
    next.portraits = std::move(*portraits);
    next.savedPortraits = next.portraits;
    Append(report.warnings, portraitWarnings);
    // Portraits of impossible sizes show as absent and keep their bytes.
    const std::filesystem::path grp = GameFilePath(state, "hdgrp.grp");
    if (std::string damaged = DamagedPicturesMessage(grp.string(), next.portraits); !damaged.empty())
      report.warnings.push_back({grp.filename().string(), std::move(damaged)});
  } else {
    WarnPair(state, "hdgrp.idx", "hdgrp.grp", portraits.error(), report.warnings);
  }

  // Warnings of the name file count only when it was read at all.
  std::vector<FileWarning> nameWarnings;
  auto names = LoadNameTables(dir, codec, &nameWarnings);
  if (names) {
    next.names = std::move(*names);
    Append(report.warnings, nameWarnings);
  } else {
    // Too few entries for the name tables, perhaps because the index is
    // damaged: the damage is said with the numbers.
    bool damage = false;
    for (const FileWarning& w : nameWarnings) damage = damage || w.damage.has_value();
    if (damage) Append(report.warnings, nameWarnings);
    WarnPair(state, "r1.idx", "r1.grp", names.error(), report.warnings);
  }

  // The scenes' object tables: optional, and a damaged entry only hides
  // that scene's objects.
  std::vector<FileWarning> objectWarnings;
  auto objects = ReadSceneObjects(dir, &objectWarnings);
  if (objects) {
    next.objects = std::move(*objects);
    Append(report.warnings, objectWarnings);
  } else {
    WarnPair(state, "alldef.idx", "alldef.grp", objects.error(), report.warnings);
  }

  if (!needs.events && BothMissing(state, "kdef.idx", "kdef.grp")) {
    next.eventsMissing = true;
    WarnPair(state, "kdef.idx", "kdef.grp", std::string(), report.warnings);
  } else {
    auto events = ReadEvents(dir, &report.warnings);
    if (!events) return events.passError();
    next.events = std::move(*events);
  }

  // The events come undecoded, label counters at 0.
  next.portraitUsers = BuildPortraitUsers(next.names, static_cast<int32_t>(next.portraits.size()));
  for (const FileWarning& w : report.warnings)
    if (w.damage) next.damagedFiles.push_back(w);

  state.game = std::move(next);
  RememberDamagedParts(state);
  state.tileSets.Clear();  // their colours and files may have changed
  state.loaded = true;
  return report;
}

std::string ReadWarningsMessage(const GameReadReport& report) {
  if (report.warnings.empty()) return {};
  std::string message = FormatInterfaceString(Str::ReadWarningsHeading);
  for (const FileWarning& w : report.warnings) message += "\n" + w.message;
  return message;
}

bool PortraitsChanged(const GameData& game) {
  return !std::equal(game.portraits.begin(), game.portraits.end(), game.savedPortraits.begin(),
                     game.savedPortraits.end(), [](const RlePicture& a, const RlePicture& b) {
                       if (a.absent != 0 || b.absent != 0) return (a.absent != 0) == (b.absent != 0);
                       return a.width == b.width && a.height == b.height && a.xOffset == b.xOffset &&
                              a.yOffset == b.yOffset && a.data == b.data;
                     });
}

bool SceneObjectsChanged(const EditorState& state) {
  return state.game.objects.present && EncodeSceneObjects(state.game.objects) != state.game.objects.grp;
}

}  // namespace tavrel
