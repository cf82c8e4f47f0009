#pragma once
// A short array of trivially copyable values held inside its owner: up to
// N values need no heap block, longer arrays take one block of exactly the
// size asked for. Decoded statements keep their parameter words and their
// texts in it, so an event's statements are one compact block of memory
// instead of three or four heap blocks each.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace tavrel {

template <class T, size_t N>
class SmallArray {
  static_assert(std::is_trivially_copyable_v<T>);
  static_assert(N * sizeof(T) >= sizeof(T*), "the local values share their room with the heap pointer");

 public:
  SmallArray() noexcept {}
  SmallArray(const SmallArray& other) { Assign(other.data(), other.size_); }
  SmallArray(SmallArray&& other) noexcept { Steal(other); }
  SmallArray& operator=(const SmallArray& other) {
    if (this != &other) Assign(other.data(), other.size_);
    return *this;
  }
  SmallArray& operator=(SmallArray&& other) noexcept {
    if (this != &other) {
      Release();
      Steal(other);
    }
    return *this;
  }
  ~SmallArray() { Release(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return capacity_; }
  T* data() { return OnHeap() ? heap_ : local_; }
  const T* data() const { return OnHeap() ? heap_ : local_; }

  // Replaces the contents by `count` values copied from `values`, which
  // may lie inside this array.
  void Assign(const T* values, size_t count) {
    if (count > capacity_) {
      T* fresh = Allocate(count);
      if (count != 0) std::memcpy(fresh, values, count * sizeof(T));
      Release();
      heap_ = fresh;
      capacity_ = static_cast<uint32_t>(count);
    } else if (count != 0) {
      std::memmove(data(), values, count * sizeof(T));
    }
    size_ = static_cast<uint32_t>(count);
  }

  // Keeps the first values, fills new ones with `fill`.
  void Resize(size_t count, T fill) {
    if (count > capacity_) Grow(count);
    T* values = data();
    for (size_t i = size_; i < count; ++i) values[i] = fill;
    size_ = static_cast<uint32_t>(count);
  }

  void Append(const T* values, size_t count) {
    const size_t total = size_ + count;
    if (total > capacity_) Grow(std::max(total, size_t(capacity_) * 2));
    if (count != 0) std::memcpy(data() + size_, values, count * sizeof(T));
    size_ = static_cast<uint32_t>(total);
  }

  // Empties the array and keeps its room.
  void Clear() { size_ = 0; }

 private:
  bool OnHeap() const { return capacity_ > N; }

  static T* Allocate(size_t count) {
    if (count > UINT32_MAX) throw std::length_error("array too long");
    return static_cast<T*>(::operator new(count * sizeof(T)));
  }

  // Moves the values into a block of `count`, which is more than they fill;
  // the copy is bounded by the block as well, so it is in bounds whatever
  // size_ holds.
  void Grow(size_t count) {
    T* fresh = Allocate(count);
    const size_t kept = std::min(size_t(size_), count);
    if (kept != 0) std::memcpy(fresh, data(), kept * sizeof(T));
    Release();
    heap_ = fresh;
    capacity_ = static_cast<uint32_t>(count);
  }

  void Release() {
    if (OnHeap()) ::operator delete(heap_);
    capacity_ = N;
  }

  void Steal(SmallArray& other) {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (other.OnHeap())
      heap_ = other.heap_;
    else
      std::memcpy(local_, other.local_, sizeof local_);
    other.size_ = 0;
    other.capacity_ = N;
  }

  uint32_t size_ = 0;
  uint32_t capacity_ = N;  // above N: the values are on the heap
  union {
    T local_[N];
    T* heap_;
  };
};

}  // namespace tavrel
