#include "app/portrait_pictures.h"

#include "app/history.h"
#include "gamefiles/picture_encode.h"
#include "text/ui_string_names.h"

namespace tavrel {

Status ReplacePortraitPicture(EditorState& state, int32_t number, const IndexedPicture& picture) {
  if (number < 0 || size_t(number) >= state.game.portraits.size()) return Error{"no such portrait"};
  // The same pixels and offsets: the portrait keeps its bytes and nothing changes.
  if (DecodePictureIndices(state.game.portraits[size_t(number)]) == picture) return Ok();
  Result<RlePicture> encoded = EncodeRlePicture(picture, state.game.palette);
  if (!encoded) return encoded.passError();
  StepRecorder step(state, Str::StepChangePortraitPicture, StepPlace{});
  step.TouchPortrait(number);
  state.game.portraits[size_t(number)] = std::move(*encoded);
  step.Finish();
  return Ok();
}

Result<int32_t> AddPortraitPicture(EditorState& state, const IndexedPicture& picture) {
  Result<RlePicture> encoded = EncodeRlePicture(picture, state.game.palette);
  if (!encoded) return encoded.passError();
  StepRecorder step(state, Str::StepAddPortraitPicture, StepPlace{});
  state.game.portraits.push_back(std::move(*encoded));
  const auto count = static_cast<int32_t>(state.game.portraits.size());
  state.game.portraitUsers = BuildPortraitUsers(state.game.names, count);
  step.Finish();
  return count - 1;
}

}  // namespace tavrel
