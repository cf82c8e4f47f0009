#include "app/editor_state.h"


#include "gamefiles/file_io.h"

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
  if (!attributes) return Error{attributes.error()};
  state.attributes = *attributes;
  return result;
}

Status ReadGameFiles(EditorState& state) {
  const std::filesystem::path dir(state.gameDirectory);
  const TextCodec& codec = state.text();
  // Everything is read into a fresh GameData first; the state changes only
  // when every file was read.
  GameData next;

  auto talk = LoadTalk(dir, codec);
  if (!talk) return Error{talk.error()};
  next.talk = std::move(*talk);

  auto palette = LoadPalette(dir);
  if (!palette) return Error{palette.error()};
  next.palette = *palette;

  auto portraits = LoadPictureSet(dir, "hdgrp.idx", "hdgrp.grp", next.palette);
  if (!portraits) return Error{portraits.error()};
  next.portraits = std::move(*portraits);

  auto names = LoadNameTables(dir, codec);
  if (!names) return Error{names.error()};
  next.names = std::move(*names);

  auto events = ReadEvents(dir);
  if (!events) return Error{events.error()};
  next.events = std::move(*events);

  // The events come undecoded, label counters at 0.
  next.portraitUsers = BuildPortraitUsers(next.names, static_cast<int32_t>(next.portraits.size()));

  state.game = std::move(next);
  state.tileSets.Clear();  // their colours and files may have changed
  state.loaded = true;
  return Ok();
}

Status SaveGameFiles(EditorState& state) {
  const std::filesystem::path dir(state.gameDirectory);
  // The writers refresh the offset lists; restore them when a write fails so
  // the state stays as it was.
  const std::vector<int32_t> talkOffsets = state.game.talk.offsets;
  if (Status s = SaveTalk(dir, state.game.talk, state.text()); !s) {
    state.game.talk.offsets = talkOffsets;
    return s;
  }
  const std::vector<int32_t> eventOffsets = state.game.events.offsets;
  if (Status s = WriteEvents(dir, state.game.events); !s) {
    state.game.events.offsets = eventOffsets;
    return s;
  }
  return Ok();
}

}  // namespace tavrel
