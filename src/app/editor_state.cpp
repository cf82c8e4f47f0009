#include "app/editor_state.h"

#include <algorithm>

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

Result<GameReadReport> ReadGameFiles(EditorState& state) {
  const std::filesystem::path dir(state.gameDirectory);
  const TextCodec& codec = state.text();
  // Everything is read into a fresh GameData first; the state changes only
  // when the edited files were read.
  GameData next;
  GameReadReport report;

  auto talk = LoadTalk(dir, codec, &report.warnings);
  if (!talk) return talk.passError();
  next.talk = std::move(*talk);

  auto palette = LoadPalette(dir);
  if (palette) {
    next.palette = *palette;
  } else {
    next.palette = GreyPalette();
    report.warnings.push_back({GameFilePath(state, "mmap.col").filename().string(), palette.error()});
  }

  auto portraits = LoadPictureSet(dir, "hdgrp.idx", "hdgrp.grp", next.palette);
  if (portraits) {
    next.portraits = std::move(*portraits);
    next.savedPortraits = next.portraits;
    // Portraits of impossible sizes show as absent and keep their bytes.
    const std::filesystem::path grp = GameFilePath(state, "hdgrp.grp");
    if (std::string damaged = DamagedPicturesMessage(grp.string(), next.portraits); !damaged.empty())
      report.warnings.push_back({grp.filename().string(), std::move(damaged)});
  } else
    WarnPair(state, "hdgrp.idx", "hdgrp.grp", portraits.error(), report.warnings);

  // Warnings of the name file count only when it was read at all.
  std::vector<FileWarning> nameWarnings;
  auto names = LoadNameTables(dir, codec, &nameWarnings);
  if (names) {
    next.names = std::move(*names);
    Append(report.warnings, nameWarnings);
  } else {
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

  auto events = ReadEvents(dir, &report.warnings);
  if (!events) return events.passError();
  next.events = std::move(*events);

  // The events come undecoded, label counters at 0.
  next.portraitUsers = BuildPortraitUsers(next.names, static_cast<int32_t>(next.portraits.size()));

  state.game = std::move(next);
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

Status SaveGameFiles(EditorState& state) {
  // The four files are one group: all of them are replaced, or all are as
  // they were. The encoders refresh the offset lists; they are put back when
  // the write fails so the state stays as it was.
  const std::vector<int32_t> talkOffsets = state.game.talk.offsets;
  const std::vector<int32_t> eventOffsets = state.game.events.offsets;
  std::vector<FileWrite> files(4);
  files[0].path = GameFilePath(state, "talk.idx");
  files[1].path = GameFilePath(state, "talk.grp");
  files[2].path = GameFilePath(state, "kdef.idx");
  files[3].path = GameFilePath(state, "kdef.grp");
  EncodeTalk(state.game.talk, state.text(), files[0].bytes, files[1].bytes);
  EncodeEvents(state.game.events, files[2].bytes, files[3].bytes);
  // An untouched portrait pair is not rewritten.
  const bool portraits = PortraitsChanged(state.game);
  if (portraits) {
    files.resize(6);
    files[4].path = GameFilePath(state, "hdgrp.idx");
    files[5].path = GameFilePath(state, "hdgrp.grp");
    EncodePictureSet(state.game.portraits, files[4].bytes, files[5].bytes);
  }
  // Nor is an untouched object table pair.
  Bytes objects;
  bool objectsWritten = false;
  if (state.game.objects.present) {
    objects = EncodeSceneObjects(state.game.objects);
    if (objects != state.game.objects.grp) {
      files.push_back({GameFilePath(state, "alldef.idx"), state.game.objects.idx});
      files.push_back({GameFilePath(state, "alldef.grp"), objects});
      objectsWritten = true;
    }
  }
  Status written = WriteFilesAtomic(files);
  if (!written) {
    state.game.talk.offsets = talkOffsets;
    state.game.events.offsets = eventOffsets;
  } else {
    if (portraits) state.game.savedPortraits = state.game.portraits;
    if (objectsWritten) state.game.objects.grp = std::move(objects);
  }
  return written;
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
