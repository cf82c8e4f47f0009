#pragma once
// A value or the message that says why there is none. Readers of game files
// return this instead of throwing, so a damaged file becomes a message box and
// never a half-filled state.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tavrel {

struct Error {
  std::string message;
};

// Reached only by a program fault: the value of a Result that holds an
// error was asked for. Names the error on stderr and aborts.
[[noreturn]] void ResultHasNoValue(const std::string& error);

template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}              // NOLINT: implicit by design
  Result(Error error) : error_(std::move(error.message)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  // The value; asking for it when there is none aborts the program.
  T& value() { return Checked(), *value_; }
  const T& value() const { return Checked(), *value_; }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const std::string& error() const { return error_; }
  // The error, to be handed on by a caller whose result has another type:
  //   if (!read) return read.passError();
  Error passError() const { return Error{error_}; }

 private:
  void Checked() const {
    if (!value_) ResultHasNoValue(error_);
  }

  std::optional<T> value_;
  std::string error_;
};

// What writing a file again from what its read could get would drop from
// the file as it lies on disk.
struct FileLoss {
  int64_t entries = 0;  // entries the file names that the read did not get whole
  int64_t bytes = 0;    // bytes the file holds that nothing read covers
  bool operator==(const FileLoss&) const = default;
};

// A game file that was read with a loss or a repair, or not read at all
// where the read could go on without it.
struct FileWarning {
  std::string file;     // the file's name as it lies in the directory, e.g. "hdgrp.idx"
  std::string message;  // why, naming the file by its path
  // Set when the file was read with damage: its index and its data disagree,
  // so the read holds less than the disk and writing the file (or its pair)
  // again would lose this. Such a file is left as it lies unless the user
  // agrees to lose it.
  std::optional<FileLoss> damage = std::nullopt;
};

// For operations that produce nothing but may fail.
struct Done {};
using Status = Result<Done>;
inline Status Ok() { return Done{}; }

}  // namespace tavrel
