#pragma once
// One decoded instruction of an event script, or one jump label.
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/small_array.h"

namespace tavrel {

// A statement's text (its line, a label's name, a jump's label): UTF-8,
// eight bytes inside the statement, longer texts in one exact heap block.
class StatementText {
 public:
  StatementText() = default;
  explicit StatementText(std::string_view text) { assign(text); }
  StatementText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  StatementText& operator=(const std::string& text) { return *this = std::string_view(text); }
  StatementText& operator=(const char* text) { return *this = std::string_view(text); }

  void assign(std::string_view text) { chars_.Assign(text.data(), text.size()); }
  void clear() { chars_.Clear(); }
  size_t size() const { return chars_.size(); }
  bool empty() const { return chars_.empty(); }
  const char* data() const { return chars_.data(); }
  std::string_view view() const { return {chars_.data(), chars_.size()}; }
  std::string str() const { return std::string(view()); }
  operator std::string_view() const { return view(); }
  operator std::string() const { return str(); }

  StatementText& operator+=(std::string_view more) {
    chars_.Append(more.data(), more.size());
    return *this;
  }

  friend bool operator==(const StatementText& a, const StatementText& b) { return a.view() == b.view(); }
  friend bool operator==(const StatementText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const StatementText& a, const char* b) { return a.view() == std::string_view(b); }
  friend bool operator==(const StatementText& a, const std::string& b) { return a.view() == std::string_view(b); }
  friend std::string operator+(std::string a, const StatementText& b) { return a.append(b.view()); }
  friend std::string operator+(const StatementText& a, std::string_view b) {
    std::string out = a.str();
    return out.append(b);
  }
  friend std::ostream& operator<<(std::ostream& out, const StatementText& text);

 private:
  SmallArray<char, 8> chars_;
};

// A statement's parameter words: up to four inside the statement (most
// instructions have no more).
class StatementWords {
 public:
  using value_type = int16_t;
  using iterator = int16_t*;
  using const_iterator = const int16_t*;

  StatementWords() = default;
  StatementWords(std::initializer_list<int16_t> words) { words_.Assign(words.begin(), words.size()); }
  StatementWords(std::span<const int16_t> words) { words_.Assign(words.data(), words.size()); }
  StatementWords(const std::vector<int16_t>& words) { words_.Assign(words.data(), words.size()); }
  StatementWords& operator=(std::initializer_list<int16_t> words) {
    words_.Assign(words.begin(), words.size());
    return *this;
  }
  StatementWords& operator=(const std::vector<int16_t>& words) {
    words_.Assign(words.data(), words.size());
    return *this;
  }

  void assign(size_t count, int16_t value) {
    words_.Clear();
    words_.Resize(count, value);
  }
  template <std::contiguous_iterator It>
  void assign(It first, It last) {
    words_.Assign(std::to_address(first), static_cast<size_t>(last - first));
  }
  void clear() { words_.Clear(); }
  void resize(size_t count, int16_t fill = 0) { words_.Resize(count, fill); }
  void push_back(int16_t word) { words_.Append(&word, 1); }

  size_t size() const { return words_.size(); }
  bool empty() const { return words_.empty(); }
  int16_t* data() { return words_.data(); }
  const int16_t* data() const { return words_.data(); }
  int16_t& operator[](size_t i) { return words_.data()[i]; }
  int16_t operator[](size_t i) const { return words_.data()[i]; }
  iterator begin() { return data(); }
  iterator end() { return data() + size(); }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + size(); }
  operator std::span<const int16_t>() const { return {data(), size()}; }
  operator std::vector<int16_t>() const { return {begin(), end()}; }

  friend bool operator==(const StatementWords& a, const StatementWords& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }
  friend bool operator==(const StatementWords& a, const std::vector<int16_t>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  SmallArray<int16_t, 4> words_;
};

struct Statement {
  int16_t Id = 0;           // opcode; -1 end of event; 0 for a label
  int16_t GotoAddress = 0;  // jump distance in words as decoded
  int16_t yesOffset = 0;    // word position of the yes jump, from the opcode word
  int16_t noOffset = 0;     // word position of the no jump
  int16_t isGoto = 0;       // 0 no jump, 1 jumps when the condition holds, 2 when it fails
  bool islabel = false;     // a jump label's line, not an instruction
  int32_t DataNum = 0;      // number of parameter words
  StatementText gotoLabel;  // ":LabelN" of a regular conditional
  StatementText note;       // the label's name, or the instruction's readable line
  StatementWords data;      // the parameter words; the first DataNum belong to the instruction

  // n >= 1: `data` becomes n zero words. n < 1: only the count changes and
  // the old words stay (they are no longer part of the instruction).
  void SetDataNum(int32_t n);
  // Word i of the parameters, 0 when i lies outside 0 .. DataNum - 1.
  int16_t Word(int i) const;
  // Sets word i when it lies inside 0 .. DataNum - 1; returns whether it did.
  bool SetWord(int i, int16_t value);
  // Number of words the statement encodes to: 0 for a label.
  int32_t EncodedLength() const { return islabel ? 0 : DataNum + 1; }
};
// A whole event's statements are kept while the editor runs: one cache line each.
static_assert(sizeof(void*) != 8 || sizeof(Statement) == 64);

Statement MakeLabel(const std::string& name);

}  // namespace tavrel
