#pragma once
// The words of one event script as stored in kdef.grp.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace tavrel {

// An event's words. They never change in place: a new set of words replaces
// the old. So the events of one read can all look into the one buffer of
// words read from the file (no block of their own each), and a copied event
// shares its words with the original.
class EventWords {
 public:
  using value_type = int16_t;
  using const_iterator = const int16_t*;
  using iterator = const_iterator;

  EventWords() = default;
  EventWords(std::vector<int16_t> words) { *this = std::move(words); }
  EventWords(std::initializer_list<int16_t> words) : EventWords(std::vector<int16_t>(words)) {}
  // Words [offset, offset + count) of a buffer shared with other events
  // (clipped to the buffer).
  EventWords(std::shared_ptr<const std::vector<int16_t>> buffer, size_t offset, size_t count);

  EventWords& operator=(std::vector<int16_t> words);
  EventWords& operator=(std::initializer_list<int16_t> words) { return *this = std::vector<int16_t>(words); }

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const int16_t* data() const { return buffer_ ? buffer_->data() + offset_ : nullptr; }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + count_; }
  int16_t operator[](size_t i) const { return data()[i]; }
  int16_t front() const { return data()[0]; }
  int16_t back() const { return data()[count_ - 1]; }
  operator std::span<const int16_t>() const { return {data(), count_}; }
  std::vector<int16_t> vector() const { return {begin(), end()}; }
  operator std::vector<int16_t>() const { return vector(); }

  friend bool operator==(const EventWords& a, const EventWords& b);
  friend bool operator==(const EventWords& a, const std::vector<int16_t>& b);

 private:
  std::shared_ptr<const std::vector<int16_t>> buffer_;
  size_t offset_ = 0;
  size_t count_ = 0;
};

}  // namespace tavrel
