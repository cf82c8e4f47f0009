#pragma once
// The scenes' object tables alldef.idx / alldef.grp: one entry per scene,
// each 200 object records of 11 little-endian signed 16-bit words. An object
// is what the hero meets in a scene: a person, a door, a chest, a spot on
// the ground. Three of its words name the events it starts.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"

namespace tavrel {

inline constexpr int kObjectsPerScene = 200;
inline constexpr int kObjectWords = 11;
inline constexpr int kObjectRecordBytes = kObjectWords * 2;
inline constexpr int kSceneTableBytes = kObjectsPerScene * kObjectRecordBytes;  // 4400

// The words of an object record, in order.
enum ObjectWord : int {
  kObjectPassable = 0,
  kObjectNumber = 1,
  kObjectActionEvent = 2,  // started by the action key
  kObjectItemEvent = 3,    // started by using an item on the object
  kObjectPassEvent = 4,    // started by walking onto it
  kObjectPicture1 = 5,
  kObjectPicture2 = 6,
  kObjectPicture3 = 7,
  kObjectSpeed = 8,
  kObjectX = 9,
  kObjectY = 10,
};

// The three ways an object starts an event, in the order of their words.
enum class Trigger : int { Action = 0, Item = 1, Pass = 2 };
inline constexpr Trigger kTriggers[] = {Trigger::Action, Trigger::Item, Trigger::Pass};
inline constexpr int TriggerWord(Trigger t) { return kObjectActionEvent + static_cast<int>(t); }

struct SceneObject {
  std::array<int16_t, kObjectWords> words{};

  // Eleven zero words: an empty slot.
  bool empty() const;
  // The event the trigger starts; 0 and negative words start none.
  int16_t event(Trigger t) const { return words[size_t(TriggerWord(t))]; }
  bool startsEvent(Trigger t) const { return event(t) > 0; }
  bool operator==(const SceneObject&) const = default;
};

// One scene's table. A damaged entry (not 4400 bytes) keeps its bytes, to be
// written back as they were, and shows no objects; a missing one (named by
// the index past the data's end) has none.
struct SceneTable {
  bool valid = false;
  bool missing = false;
  std::vector<SceneObject> objects;  // kObjectsPerScene when valid, else empty
  Bytes damaged;                     // the entry's bytes when not valid
  bool operator==(const SceneTable&) const = default;
};

struct SceneObjectTables {
  bool present = false;  // alldef.idx / alldef.grp were read
  std::vector<SceneTable> scenes;
  Bytes idx;       // as read; the tables never change an entry's size
  Bytes grp;       // as read, to tell whether anything changed
  Bytes trailing;  // bytes of the .grp after the last entry, kept as they are

  int32_t sceneCount() const { return static_cast<int32_t>(scenes.size()); }
  // Object `object` of scene `scene`; nullptr when the scene's table is
  // damaged or either number is out of range.
  const SceneObject* Object(int32_t scene, int32_t object) const;
};

// Parses the pair; `idxName` and `grpName` are what the messages call the
// files. Scenes the index names past the data's end are missing, bytes after
// the last scene are kept as they are: neither is reported. An index that
// runs backwards or cuts a table is read up to there and reported as damage
// (nothing is lost by writing it back: the index is kept as read and the
// rest of the data as trailing bytes); an entry of the wrong size is a
// warning naming `grpName` and the scene, and that scene shows no objects.
SceneObjectTables ParseSceneObjects(std::span<const uint8_t> idx, std::span<const uint8_t> grp,
                                    const std::string& idxName, const std::string& grpName,
                                    std::vector<FileWarning>* warnings = nullptr);

// Reads alldef.idx / alldef.grp from `dir` (names matched case-insensitively).
Result<SceneObjectTables> ReadSceneObjects(const std::filesystem::path& dir,
                                           std::vector<FileWarning>* warnings = nullptr);

// The .grp bytes of the tables: every valid scene's records, every damaged
// entry's bytes as read.
Bytes EncodeSceneObjects(const SceneObjectTables& tables);

}  // namespace tavrel
