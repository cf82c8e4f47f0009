// The parts of the game a save writes, one row each (app/save_plan.h).
#include <algorithm>

#include "app/editor_state.h"
#include "app/save_plan.h"
#include "gamefiles/picture_encode.h"
#include "script/event_table.h"

namespace tavrel {
namespace {

// The N + 1 offsets of an index just written: 0, then its end values, each
// divided by `unit` (the event index counts bytes, the events words).
std::vector<int32_t> OffsetsOf(const Bytes& idx, int32_t unit) {
  std::vector<int32_t> offsets;
  offsets.reserve(idx.size() / 4 + 1);
  offsets.push_back(0);
  for (size_t at = 0; at + 4 <= idx.size(); at += 4) offsets.push_back(ReadI32(idx, at) / unit);
  return offsets;
}

std::vector<Bytes> EncodeDialogue(const EditorState& state) {
  std::vector<Bytes> files(2);
  EncodeTalk(std::as_const(state.game.talk), state.text(), files[0], files[1]);
  return files;
}

std::vector<Bytes> EncodeEventFiles(const EditorState& state) {
  std::vector<Bytes> files(2);
  EncodeEvents(std::as_const(state.game.events), files[0], files[1]);
  return files;
}

std::vector<Bytes> EncodePortraits(const EditorState& state) {
  std::vector<Bytes> files(2);
  EncodePictureSet(state.game.portraits, files[0], files[1]);
  return files;
}

std::vector<Bytes> EncodeObjects(const EditorState& state) {
  // The tables never change an entry's size: the index is written as read.
  return {state.game.objects.idx, EncodeSceneObjects(state.game.objects)};
}

const SavePart kParts[] = {
    {"talk",
     {"talk.idx", "talk.grp"},
     // A game without dialogue gets the files once dialogue is added.
     [](const EditorState& s) { return !s.game.talkMissing || s.talkCount() > 0; },
     EncodeDialogue,
     [](EditorState& s, const std::vector<Bytes>& bytes) {
       s.game.talk.offsets = OffsetsOf(bytes[0], 1);
       s.game.talkMissing = false;
     }},
    {"kdef",
     {"kdef.idx", "kdef.grp"},
     [](const EditorState& s) { return !s.game.eventsMissing || s.eventCount() > 0; },
     EncodeEventFiles,
     [](EditorState& s, const std::vector<Bytes>& bytes) {
       s.game.events.offsets = OffsetsOf(bytes[0], 2);
       s.game.eventsMissing = false;
     }},
    // Portraits and object tables as read are not written: their encoders
    // need not give back every byte of a set another tool wrote.
    {"hdgrp",
     {"hdgrp.idx", "hdgrp.grp"},
     [](const EditorState& s) { return PortraitsChanged(s.game); },
     EncodePortraits,
     [](EditorState& s, const std::vector<Bytes>&) { s.game.savedPortraits = s.game.portraits; }},
    {"alldef",
     {"alldef.idx", "alldef.grp"},
     [](const EditorState& s) { return SceneObjectsChanged(s); },
     EncodeObjects,
     [](EditorState& s, const std::vector<Bytes>& bytes) { s.game.objects.grp = bytes[1]; }},
};

}  // namespace

std::span<const SavePart> SaveParts() { return kParts; }

const SavePart* FindSavePart(std::string_view name) {
  for (const SavePart& part : kParts)
    if (name == part.name) return &part;
  return nullptr;
}

}  // namespace tavrel
