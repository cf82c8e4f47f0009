#include "gamefiles/save_journal.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "base/crc32.h"
#include "base/numbers.h"
#include "gamefiles/file_steps.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;
using namespace file_steps;

namespace {

constexpr std::string_view kHeader = "tavrel save journal 1";

uint32_t Crc32Of(std::string_view text) {
  return Crc32(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string HexBytes(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xF]);
  }
  return out;
}

std::string KeepText(const JournalFile& f) {
  switch (f.keep) {
    case KeepOld::Backup:
      return "bak";
    case KeepOld::Drop:
      return "none";
    case KeepOld::Damaged:
      return fmt::format("damaged{}", f.damagedNumber);
  }
  return "none";
}

// ---- reading: every field checked, nothing sized from a count ---------------

std::optional<uint64_t> Number(std::string_view text) {
  const std::optional<int64_t> v =
      ParseInteger(text, 0, std::numeric_limits<int64_t>::max(), IntegerSyntax{false, false});
  if (!v) return std::nullopt;
  return uint64_t(*v);
}

// Upper-case only, as written: a journal reads back only as it was made.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> Crc(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  uint32_t v = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = v << 4 | uint32_t(d);
  }
  return v;
}

std::optional<Bytes> HexRun(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  Bytes out;
  out.reserve(text.size() / 2);  // the line is in memory already
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(uint8_t(hi << 4 | lo));
  }
  return out;
}

// A bare name of a file in the directory: never a path that leads elsewhere.
bool PlainName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == '/' || c == '\\' || c == ':') return false;
  return true;
}

// The first `count - 1` fields split at single spaces, the rest of the line
// as the last one; nothing when the line has fewer.
std::optional<std::vector<std::string_view>> Fields(std::string_view line, size_t count) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < count) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    out.push_back(line.substr(0, space));
    line.remove_prefix(space + 1);
  }
  out.push_back(line);
  return out;
}

std::optional<JournalFile> FileLine(std::string_view line) {
  auto f = Fields(line, 7);
  if (!f || (*f)[0] != "file") return std::nullopt;
  JournalFile file;
  auto newSize = Number((*f)[1]);
  auto newCrc = Crc((*f)[2]);
  if (!newSize || !newCrc) return std::nullopt;
  file.newSize = *newSize;
  file.newCrc = *newCrc;
  if ((*f)[3] == "-" && (*f)[4] == "-") {
    file.oldPresent = false;
  } else {
    auto oldSize = Number((*f)[3]);
    auto oldCrc = Crc((*f)[4]);
    if (!oldSize || !oldCrc) return std::nullopt;
    file.oldPresent = true;
    file.oldSize = *oldSize;
    file.oldCrc = *oldCrc;
  }
  const std::string_view keep = (*f)[5];
  if (keep == "bak") {
    file.keep = KeepOld::Backup;
  } else if (keep == "none") {
    file.keep = KeepOld::Drop;
  } else if (keep.starts_with("damaged")) {
    auto n = ParseInteger(keep.substr(7), 1, 1000000, IntegerSyntax{false, false});
    if (!n) return std::nullopt;
    file.keep = KeepOld::Damaged;
    file.damagedNumber = int(*n);
  } else {
    return std::nullopt;
  }
  if (!PlainName((*f)[6])) return std::nullopt;
  file.name = std::string((*f)[6]);
  return file;
}

std::optional<JournalRun> RunLine(std::string_view line, uint64_t fileSize) {
  auto f = Fields(line, 4);
  if (!f || (*f)[0] != "run") return std::nullopt;
  auto offset = Number((*f)[1]);
  auto before = HexRun((*f)[2]);
  auto after = HexRun((*f)[3]);
  if (!offset || !before || !after || before->size() != after->size()) return std::nullopt;
  if (*offset > fileSize || before->size() > fileSize - *offset) return std::nullopt;
  return JournalRun{*offset, std::move(*before), std::move(*after)};
}

}  // namespace

std::string EncodeSaveJournal(const SaveJournal& journal) {
  std::string out(kHeader);
  out += '\n';
  if (!journal.patch) {
    out += fmt::format("replace {}\n", journal.files.size());
    for (const JournalFile& f : journal.files) {
      const std::string oldSize = f.oldPresent ? std::to_string(f.oldSize) : "-";
      const std::string oldCrc = f.oldPresent ? fmt::format("{:08X}", f.oldCrc) : "-";
      out += fmt::format("file {} {:08X} {} {} {} {}\n", f.newSize, f.newCrc, oldSize, oldCrc, KeepText(f), f.name);
    }
  } else {
    out += fmt::format("patch {} {:08X} {:08X} {} {}\n", journal.patchSize, journal.beforeCrc, journal.afterCrc,
                       journal.runs.size(), journal.patchName);
    for (const JournalRun& r : journal.runs)
      out += fmt::format("run {} {} {}\n", r.offset, HexBytes(r.before), HexBytes(r.after));
  }
  out += fmt::format("end {:08X}\n", Crc32Of(out));
  return out;
}

Result<SaveJournal> ParseSaveJournal(std::span<const uint8_t> bytes) {
  if (bytes.size() > kMaxSaveJournalBytes) return Error{FormatInterfaceString(Str::JournalTooLarge, bytes.size())};
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // The end line comes last and closes the file: anything less is cut short.
  if (text.empty() || text.back() != '\n') return Error{FormatInterfaceString(Str::JournalCutShort)};
  const size_t lastStart = text.rfind('\n', text.size() - 2) + 1;  // npos + 1 == 0
  const std::string_view last = text.substr(lastStart, text.size() - 1 - lastStart);
  if (!last.starts_with("end ")) return Error{FormatInterfaceString(Str::JournalCutShort)};
  const std::optional<uint32_t> sum = Crc(last.substr(4));
  if (!sum || *sum != Crc32Of(text.substr(0, lastStart)))
    return Error{FormatInterfaceString(Str::JournalChecksumWrong)};

  std::string_view body = text.substr(0, lastStart);
  size_t lineNumber = 0;
  auto nextLine = [&]() -> std::optional<std::string_view> {
    ++lineNumber;
    if (body.empty()) return std::nullopt;
    const size_t end = body.find('\n');  // the body ends with one
    std::string_view line = body.substr(0, end);
    body.remove_prefix(end + 1);
    return line;
  };
  auto bad = [&] { return Error{FormatInterfaceString(Str::JournalLineUnreadable, lineNumber)}; };

  if (nextLine() != kHeader) return bad();
  const std::optional<std::string_view> kind = nextLine();
  if (!kind) return bad();
  SaveJournal journal;
  if (kind->starts_with("replace ")) {
    const std::optional<uint64_t> count = Number(kind->substr(8));
    if (!count || *count == 0) return bad();
    for (uint64_t k = 0; k < *count; ++k) {
      const std::optional<std::string_view> line = nextLine();
      std::optional<JournalFile> file = line ? FileLine(*line) : std::nullopt;
      if (!file) return bad();
      for (const JournalFile& other : journal.files)
        if (other.name == file->name) return bad();
      journal.files.push_back(std::move(*file));
    }
  } else {
    auto f = Fields(*kind, 6);
    if (!f || (*f)[0] != "patch") return bad();
    auto size = Number((*f)[1]);
    auto before = Crc((*f)[2]);
    auto after = Crc((*f)[3]);
    auto count = Number((*f)[4]);
    if (!size || !before || !after || !count || *count == 0 || !PlainName((*f)[5])) return bad();
    journal.patch = true;
    journal.patchSize = *size;
    journal.beforeCrc = *before;
    journal.afterCrc = *after;
    journal.patchName = std::string((*f)[5]);
    for (uint64_t k = 0; k < *count; ++k) {
      const std::optional<std::string_view> line = nextLine();
      std::optional<JournalRun> run = line ? RunLine(*line, *size) : std::nullopt;
      if (!run) return bad();
      journal.runs.push_back(std::move(*run));
    }
  }
  if (!body.empty()) {
    ++lineNumber;
    return bad();
  }
  return journal;
}

fs::path SaveJournalPath(const fs::path& dir) { return dir / kSaveJournalName; }

Status WriteSaveJournal(const fs::path& dir, const SaveJournal& journal, const fs::path& target) {
  const std::string text = EncodeSaveJournal(journal);
  const fs::path path = SaveJournalPath(dir);
  if (text.size() > kMaxSaveJournalBytes)
    return WriteError(target, FormatInterfaceString(Str::JournalTooLarge, text.size()));
  const fs::path tmp = WithSuffix(path, ".tmp");
  const Bytes bytes(text.begin(), text.end());
  if (Status s = WriteFlushed(target, tmp, WholeBytes(bytes), kJournalSteps); !s) return s;
  std::error_code ec;
  if (!StepAllowed("journal-place", target)) ec = std::make_error_code(std::errc::permission_denied);
  if (!ec) RenameReplacing(tmp, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    return WriteError(target, FormatInterfaceString(Str::CannotCreate, path.string(), ec.message()));
  }
  SyncDirectory(dir);
  return Ok();
}

bool RemoveSaveJournal(const fs::path& dir) {
  const fs::path path = SaveJournalPath(dir);
  if (!StepAllowed("journal-remove", path)) return false;
  std::error_code ec;
  fs::remove(path, ec);
  if (ec) return false;
  SyncDirectory(dir);
  return true;
}

fs::path BackupPath(const fs::path& file, int generation) {
  return generation <= 1 ? WithSuffix(file, ".bak") : WithSuffix(file, fmt::format(".bak{}", generation).c_str());
}

fs::path DamagedCopyPath(const fs::path& file, int number) {
  return number <= 1 ? WithSuffix(file, ".damaged") : WithSuffix(file, fmt::format(".damaged{}", number).c_str());
}

int FreeDamagedNumber(const fs::path& file) {
  std::error_code ec;
  int n = 1;
  while (fs::exists(DamagedCopyPath(file, n), ec)) ++n;
  return n;
}

Status KeepOldCopy(const fs::path& dir, const JournalFile& f) {
  const fs::path file = dir / f.name;
  const fs::path old = WithSuffix(file, ".old");
  std::error_code ec;
  // A NAME.old beside a file the save made is not this save's.
  if (!f.oldPresent || !fs::exists(old, ec)) return Ok();
  auto move = [&](const fs::path& from, const fs::path& to) -> Status {
    if (!StepAllowed("rotate", file))
      ec = std::make_error_code(std::errc::permission_denied);
    else
      RenameReplacing(from, to, ec);
    if (ec) return WriteError(file, FormatInterfaceString(Str::CannotKeepBackup, to.string(), ec.message()));
    return Ok();
  };
  switch (f.keep) {
    case KeepOld::Drop:
      if (!StepAllowed("rotate", file)) return WriteError(file, std::strerror(EACCES));
      fs::remove(old, ec);
      return ec ? Status(WriteError(file, ec.message())) : Ok();
    case KeepOld::Damaged: {
      fs::path to = DamagedCopyPath(file, f.damagedNumber);
      // Taken since the journal was written: another free name, never over it.
      if (fs::exists(to, ec)) to = DamagedCopyPath(file, FreeDamagedNumber(file));
      return move(old, to);
    }
    case KeepOld::Backup:
      // Each older generation moves on by one, the oldest dropping out. A
      // move that was made before a crash has emptied its source, so a
      // repeat skips it: generation 1 is gone only once it has moved.
      if (fs::exists(BackupPath(file, 1), ec))
        for (int g = kBackupGenerations - 1; g >= 1; --g)
          if (fs::exists(BackupPath(file, g), ec))
            if (Status s = move(BackupPath(file, g), BackupPath(file, g + 1)); !s) return s;
      return move(old, BackupPath(file, 1));
  }
  return Ok();
}

}  // namespace tavrel
