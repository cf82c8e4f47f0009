#pragma once
// The damage of the game files the windows read when they open rather than
// at the read command: the battlefields (warfld.idx / warfld.grp), the tile
// set of every scene and battle map, and the battle file war.sta. The read
// command's files report their damage as they are read (ReadGameFiles).
#include <vector>

#include "base/result.h"

namespace tavrel {

struct EditorState;

// One warning with its damage a file that disagrees with itself; a file that
// is missing or agrees gives none. Each tile set is checked once, however
// many scenes or maps use it.
std::vector<FileWarning> DamageOfFilesReadOnOpen(const EditorState& state);

}  // namespace tavrel
