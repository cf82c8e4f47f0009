#pragma once
// Reading and patching z.dat. The current values are read from the sites of
// zdat_sites.h; the patcher's choices become a list of byte writes, checked
// group by group, and one writer puts exactly those bytes into the file in
// place. The file's length never changes.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/zdat_sites.h"
#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/names.h"
#include "text/charset.h"

namespace tavrel::zdat {

// What the patcher shows when it opens. A value whose bytes lie beyond the
// end of the file is empty.
struct ZdatValues {
  std::optional<int32_t> totalMemory, memory1, memory2;
  std::optional<std::string> sdx, smp, wdx, wmp;  // entry 0 up to its first zero, one char per byte
  std::optional<int16_t> leaveEvent;
  std::array<std::optional<int16_t>, kWordLimits.size()> wordLimits;
  std::array<std::optional<uint8_t>, kByteLimits.size()> byteLimits;
  std::optional<std::array<uint8_t, kRosterSize>> roster;  // the 50 bytes as stored
};

ZdatValues ReadZdatValues(std::span<const uint8_t> bytes);

// z.dat of a game directory as the patcher finds it when it opens.
struct ZdatFile {
  std::filesystem::path path;
  bool found = false;  // the file exists and could be read
  std::string error;   // why it could not be read, when it exists
  size_t size = 0;
  ZdatValues values;
  bool complete() const { return found && size >= HighestSiteEnd(); }
};
ZdatFile ReadZdat(const std::filesystem::path& gameDir);

// What the patcher says on opening a z.dat that is missing, unreadable or too
// short for every site; empty when the file holds them all.
std::string ZdatOpenProblem(const TextCodec& text, const ZdatFile& file);

// The entries of the roster's person list: persons 0 to 255 at most (a
// roster byte holds no more), each "12(C)" followed by the name.
std::vector<std::string> RosterPersonChoices(const NameTables& names);

// The roster gathered as the window holds it: the non-zero bytes of z.dat in
// order from slot 0; slots after them keep what `slots` held.
void GatherRoster(const std::array<uint8_t, kRosterSize>& stored, std::array<uint8_t, kRosterSize>& slots);

// `tavrel zdat`: one "name: value" a line, "-" for a value beyond the file's end.
std::string ZdatReport(const ZdatValues& values);

// A picture-table name as the text box shows it (bytes as Latin-1 characters).
std::string PictureNameText(std::span<const uint8_t> entry);

// ---- the patcher's choices ------------------------------------------------------

struct LimitChoice {
  bool checked = false;
  std::string value;    // the value field's text
  bool cancel = false;  // byte limits only: remove the limit
};

struct ZdatChoices {
  bool water = false;
  bool walkOnWater = false;  // Optwater1; else Optwater2 (normal)
  bool memory = false;
  std::string totalMemory, memory1, memory2;
  bool scenePictures = false;
  std::string sdx, smp;
  bool battlePictures = false;
  std::string wdx, wmp;
  bool fight = false;
  bool renameFightFiles = false;
  bool roster = false;
  std::array<uint8_t, kRosterSize> rosterSlots{};
  std::string leaveEvent;
  std::array<LimitChoice, kWordLimits.size()> wordLimits;
  std::array<LimitChoice, kByteLimits.size()> byteLimits;
};

struct ByteWrite {
  uint32_t offset;
  Bytes bytes;
};

// A checked group that is not written, and why.
struct Refusal {
  enum class Kind : uint8_t {
    Number,     // a value field's text is not a whole number in its range
    Name,       // a picture name is longer than 12 characters or not single-byte
    ShortFile,  // the group's bytes reach past the end of z.dat (or there is no z.dat)
  };
  Kind kind = Kind::Number;
  std::string_view group;       // the group's check box
  int caption = 0;              // interface string of the group's check box
  std::string_view field;       // the offending value field; empty for a short file
  int fieldCaption = 0;         // interface string naming the field (0: none)
  std::string_view fieldLabel;  // fixed name of the field ("M1", "SDX Name") when it has no string
  std::string text;             // the text refused
  int64_t lo = 0, hi = 0;       // the range of a number field
  uint32_t needed = 0;          // for a short file: the bytes the group needs
};

struct PatchPlan {
  std::vector<ByteWrite> writes;  // in the game's order of groups
  std::vector<Refusal> refusals;
  bool renameFightFiles = false;  // the fight group is written and renaming is on
};

// The writes of every checked group that is valid and lies inside a file of
// `fileSize` bytes; every other checked group is refused whole.
PatchPlan PlanPatch(const ZdatChoices& choices, size_t fileSize);

// The message for a refusal: the group's caption, the field and the problem.
std::string RefusalMessage(const TextCodec& text, const Refusal& refusal, size_t fileSize);

// ---- applying --------------------------------------------------------------------

// The z.dat files already patched in this run: the first patch of each keeps
// the previous content as z.dat.bak, later ones leave that backup alone.
struct PatchSession {
  std::set<std::filesystem::path> backedUp;
};
PatchSession& RunPatchSession();

// Writes the bytes into the file in place; a write reaching past the end is
// refused before anything is written.
Status ApplyWrites(const std::filesystem::path& zdat, const std::vector<ByteWrite>& writes, PatchSession& session);

// Moves fightNNN.idx to fdxNNN and fightNNN.grp to fmpNNN in the game
// directory (replacing existing new names); missing old files are skipped.
// Returns the names that could not be moved.
std::vector<std::string> RenameFightFiles(const std::filesystem::path& gameDir);

// The whole apply: reads z.dat for its size, plans, writes, renames.
struct PatchOutcome {
  std::filesystem::path path;  // the z.dat patched
  PatchPlan plan;
  size_t fileSize = 0;
  bool fileFound = false;
  Status written = Ok();
  std::vector<std::string> renameFailures;
};
PatchOutcome PatchZdat(const std::filesystem::path& gameDir, const ZdatChoices& choices, PatchSession& session);

// Puts z.dat back as its backup z.dat.bak holds it (the file replaced
// atomically, the backup kept). The session forgets the file, so the next
// patch backs up the restored content again. A missing backup is an error
// naming it; z.dat is then untouched.
Status RestoreZdatBackup(const TextCodec& text, const std::filesystem::path& gameDir, PatchSession& session);

// Everything the patcher reports after applying, one paragraph per problem
// (refused groups, a missing file, a failed write, fight files not moved);
// empty when every checked group was written.
std::string PatchOutcomeMessage(const TextCodec& text, const PatchOutcome& outcome);

}  // namespace tavrel::zdat
