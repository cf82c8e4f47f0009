#include "gamefiles/event_words.h"

#include <algorithm>

namespace tavrel {

EventWords::EventWords(std::shared_ptr<const std::vector<int16_t>> buffer, size_t offset, size_t count)
    : buffer_(std::move(buffer)) {
  const size_t size = buffer_ ? buffer_->size() : 0;
  offset_ = std::min(offset, size);
  count_ = std::min(count, size - offset_);
}

EventWords& EventWords::operator=(std::vector<int16_t> words) {
  offset_ = 0;
  count_ = words.size();
  buffer_ = std::make_shared<const std::vector<int16_t>>(std::move(words));
  return *this;
}

bool operator==(const EventWords& a, const EventWords& b) { return std::ranges::equal(a, b); }
bool operator==(const EventWords& a, const std::vector<int16_t>& b) { return std::ranges::equal(a, b); }

}  // namespace tavrel
