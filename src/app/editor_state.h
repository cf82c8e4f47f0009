#pragma once
// The one editor-wide state: everything loaded from the game directory and the
// data files beside the program. Commands are functions over it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/history.h"
#include "app/tile_sets.h"
#include "gamefiles/alldef.h"
#include "gamefiles/names.h"
#include "gamefiles/pictures.h"
#include "gamefiles/talk.h"
#include "gamefiles/war_sta.h"
#include "script/attributes.h"
#include "script/describe.h"
#include "script/event_table.h"
#include "script/statement.h"
#include "text/charset.h"

namespace tavrel {

// Every member the read command replaces, read as one unit so a failed read
// leaves the previous one untouched.
struct GameData {
  TalkTable talk;
  Palette palette{};
  PictureSet portraits;
  PictureSet savedPortraits;  // the portraits as hdgrp.idx/grp hold them (read or last saved)
  NameTables names;
  EventTable events;
  std::vector<std::vector<int32_t>> portraitUsers;
  SceneObjectTables objects;  // alldef.idx/grp; not present when missing or unreadable
};

struct EditorState {
  std::filesystem::path programDir;  // where mb.dat, kdefattr.dat and the exports live
  std::string gameDirectory;         // empty until set
  GameCharset charset = GameCharset::Gbk;
  std::shared_ptr<const CharsetTables> charsetTables = std::make_shared<CharsetTables>();
  std::shared_ptr<const TextCodec> codec;
  AttributeTable attributes{};

  bool loaded = false;    // a read has succeeded
  bool modified = false;  // the dialogue or event tables changed since the last read or save
  GameData game;
  History history;  // the steps since the last read; `modified` follows its saved point

  std::vector<Statement> instructionClipboard;
  std::vector<Statement> eventClipboard;
  bool hasInstructionClip = false;
  bool hasEventClip = false;

  std::vector<BattleRecord> battles;  // read anew by each opening of the battle editor
  TileSetCache tileSets;              // scene and battle tile sets read since the last read

  const TextCodec& text() const { return *codec; }
  DescribeContext describeContext() const {
    return DescribeContext{*codec, game.names, game.talk.entries, game.portraitUsers};
  }
  int32_t eventCount() const { return static_cast<int32_t>(game.events.events.size()); }
  int32_t talkCount() const { return static_cast<int32_t>(game.talk.entries.size()); }
};

// Start-up after the charset window: mb.dat, then kdefattr.dat, from
// state.programDir. The mb.dat message (missing file) is returned in
// `warnings` and start-up goes on with all-zero tables; a missing or short
// kdefattr.dat is an error that stops start-up. An English run takes the
// instruction names from kdefattr-en.txt, which must be there as well.
struct StartupResult {
  std::vector<std::string> warnings;
};
Result<StartupResult> InitializeEditor(EditorState& state, GameCharset charset);

// What a successful read could not read or read only gently, one warning a
// file: optional files that are missing or damaged, and index oddities that
// were read without losing anything.
struct GameReadReport {
  std::vector<FileWarning> warnings;
};

// The read command: dialogue, palette, portraits, names, events, portrait
// users, empty statement lists. The edited files (talk.idx/grp, kdef.idx/grp)
// are all or nothing: on an error in one of them the state is as it was and
// the message names the file. The shown ones (mmap.col, hdgrp.idx/grp,
// r1.idx/grp) are optional: when one is missing or damaged the read goes on
// with a grey palette, no portraits or empty name tables, and says so in the
// report.
Result<GameReadReport> ReadGameFiles(EditorState& state);

// The one message that lists a read's warnings, in simplified Chinese; empty
// when there are none.
std::string ReadWarningsMessage(const GameReadReport& report);

// The save command: talk.idx/grp and kdef.idx/grp, hdgrp.idx/grp when a
// portrait changed since the read or the last save, and alldef.idx/grp when
// an object changed, as one group: all replaced or, on any failure, all as
// they were. Portraits and object tables that are as read are not written.
Status SaveGameFiles(EditorState& state);
// Whether the save would write alldef.idx/grp.
bool SceneObjectsChanged(const EditorState& state);

// Whether a portrait differs from hdgrp.idx/grp as last read or saved.
bool PortraitsChanged(const GameData& game);

// A game file path in the game directory, found case-insensitively.
std::filesystem::path GameFilePath(const EditorState& state, const std::string& name);

}  // namespace tavrel
