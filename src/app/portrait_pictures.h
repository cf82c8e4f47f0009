#pragma once
// Changing the portraits (hdgrp) in the editor: replacing one picture or
// adding one at the end, each an undoable step; the save writes them.
#include <cstdint>

#include "app/editor_state.h"
#include "base/result.h"
#include "gamefiles/pictures.h"

namespace tavrel {

// Replaces portrait `number` (0 .. count - 1) with the picture, encoded. On
// an error (the picture fits no encoding) nothing changes, nor when the
// picture is the portrait's own pixels and offsets (its bytes stay).
Status ReplacePortraitPicture(EditorState& state, int32_t number, const IndexedPicture& picture);

// Appends the picture as a new portrait; gives its number.
Result<int32_t> AddPortraitPicture(EditorState& state, const IndexedPicture& picture);

}  // namespace tavrel
