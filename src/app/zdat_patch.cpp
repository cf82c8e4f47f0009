// z.dat: the values the patcher shows, the byte writes of its choices, and
// the in-place writer.
#include "app/zdat_patch.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include <fmt/format.h>

#include "base/numbers.h"
#include "text/ui_strings.h"

namespace tavrel::zdat {
namespace {

Bytes Le16(int16_t v) { return {uint8_t(uint16_t(v)), uint8_t(uint16_t(v) >> 8)}; }
Bytes Le32(int32_t v) {
  const auto u = uint32_t(v);
  return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}
template <size_t N>
Bytes Of(const std::array<uint8_t, N>& a) {
  return Bytes(a.begin(), a.end());
}

// UTF-8 text to one byte per character; none when a character lies above
// U+00FF, is U+0000, or the text is not UTF-8.
std::optional<Bytes> Latin1Bytes(std::string_view text) {
  Bytes out;
  for (size_t i = 0; i < text.size();) {
    const auto c = uint8_t(text[i]);
    if (c < 0x80) {
      if (c == 0) return std::nullopt;
      out.push_back(c);
      ++i;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size() && (uint8_t(text[i + 1]) & 0xC0) == 0x80) {
      const uint32_t cp = uint32_t(c & 0x1F) << 6 | (uint8_t(text[i + 1]) & 0x3F);
      if (cp < 0x80 || cp > 0xFF) return std::nullopt;
      out.push_back(uint8_t(cp));
      i += 2;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

// Builds the writes of one group; the group is kept only when nothing in it
// was refused and every write lies inside the file.
class GroupPlan {
 public:
  GroupPlan(PatchPlan& plan, size_t fileSize, std::string_view group, int caption)
      : plan_(plan), fileSize_(fileSize), group_(group), caption_(caption) {}

  void Put(uint32_t offset, Bytes bytes) { writes_.push_back({offset, std::move(bytes)}); }

  // Field: objectName, caption string (0: none), fixed label (when no string).
  struct Field {
    std::string_view name;
    int caption = 0;
    std::string_view label;
  };

  std::optional<int64_t> Number(const Field& field, const std::string& text, int64_t lo, int64_t hi) {
    auto v = ParseInteger(text, lo, hi);
    if (!v) Refuse(Refusal::Kind::Number, field, text, lo, hi);
    return v;
  }
  // The trimmed name and its zero byte.
  std::optional<Bytes> PictureName(const Field& field, const std::string& text) {
    auto bytes = Latin1Bytes(TrimBlanks(text));
    if (!bytes || bytes->size() > kMaxPictureName) {
      Refuse(Refusal::Kind::Name, field, text, 0, 0);
      return std::nullopt;
    }
    bytes->push_back(0);
    return bytes;
  }
  bool refused() const { return refused_; }

  // Hands the writes to the plan, or refuses the group for a short file.
  bool Finish() {
    if (refused_) return false;
    uint32_t end = 0;
    for (const ByteWrite& w : writes_) end = std::max<uint32_t>(end, w.offset + uint32_t(w.bytes.size()));
    if (end > fileSize_) {
      Refusal r;
      r.kind = Refusal::Kind::ShortFile;
      r.group = group_;
      r.caption = caption_;
      r.needed = end;
      plan_.refusals.push_back(std::move(r));
      return false;
    }
    for (ByteWrite& w : writes_) plan_.writes.push_back(std::move(w));
    return true;
  }

 private:
  // Only the first problem of a group is reported.
  void Refuse(Refusal::Kind kind, const Field& field, const std::string& text, int64_t lo, int64_t hi) {
    if (refused_) return;
    refused_ = true;
    Refusal r;
    r.kind = kind;
    r.group = group_;
    r.caption = caption_;
    r.field = field.name;
    r.fieldCaption = field.caption;
    r.fieldLabel = field.label;
    r.text = text;
    r.lo = lo;
    r.hi = hi;
    plan_.refusals.push_back(std::move(r));
  }

  PatchPlan& plan_;
  size_t fileSize_;
  std::string_view group_;
  int caption_;
  std::vector<ByteWrite> writes_;
  bool refused_ = false;
};

// A message of the patcher's own, composed from the simplified interface
// strings, in the charset of the run.
std::string Said(const TextCodec& text, const std::string& simplified) { return text.MapInterfaceText(simplified); }

std::string FightName(std::string_view prefix, int i, uint32_t width) {
  std::string name = fmt::format("{}{:03}", prefix, i);
  name.resize(width, '\0');
  return name;
}

}  // namespace

// ---- reading -------------------------------------------------------------------

ZdatValues ReadZdatValues(std::span<const uint8_t> bytes) {
  ZdatValues v;
  const auto has = [&](uint32_t at, uint32_t width) { return size_t(at) + width <= bytes.size(); };
  const auto i32 = [&](Site site) -> std::optional<int32_t> {
    const FixedSite& s = SiteOf(site);
    if (!has(s.offset, 4)) return std::nullopt;
    return ReadI32(bytes, s.offset);
  };
  const auto name = [&](NameTable table) -> std::optional<std::string> {
    const NameTableSite& t = TableOf(table);
    if (!has(t.first, t.entryWidth)) return std::nullopt;
    return PictureNameText(bytes.subspan(t.first, t.entryWidth));
  };
  v.totalMemory = i32(Site::TotalMemory);
  v.memory1 = i32(Site::Memory1);
  v.memory2 = i32(Site::Memory2);
  v.sdx = name(NameTable::SceneIndex);
  v.smp = name(NameTable::SceneData);
  v.wdx = name(NameTable::BattleIndex);
  v.wmp = name(NameTable::BattleData);
  if (const FixedSite& s = SiteOf(Site::LeaveEvent); has(s.offset, 2)) v.leaveEvent = ReadI16(bytes, s.offset);
  for (size_t k = 0; k < kWordLimits.size(); ++k)
    if (const uint32_t at = kWordLimits[k].values.at[0]; has(at, 2)) v.wordLimits[k] = ReadI16(bytes, at);
  for (size_t k = 0; k < kByteLimits.size(); ++k)
    if (const uint32_t at = kByteLimits[k].values.at[0]; has(at, 1)) v.byteLimits[k] = bytes[at];
  if (const FixedSite& s = SiteOf(Site::Roster); has(s.offset, kRosterSize)) {
    v.roster.emplace();
    std::copy_n(bytes.begin() + s.offset, kRosterSize, v.roster->begin());
  }
  return v;
}

std::string PictureNameText(std::span<const uint8_t> entry) {
  std::string text;
  for (uint8_t b : entry) {
    if (b == 0) break;
    if (b < 0x80) {
      text.push_back(char(b));
    } else {
      text.push_back(char(0xC0 | b >> 6));
      text.push_back(char(0x80 | (b & 0x3F)));
    }
  }
  return text;
}

void GatherRoster(const std::array<uint8_t, kRosterSize>& stored, std::array<uint8_t, kRosterSize>& slots) {
  size_t next = 0;
  for (uint8_t person : stored)
    if (person != 0) slots[next++] = person;
}

std::string ZdatReport(const ZdatValues& v) {
  std::string out;
  const auto line = [&](std::string_view key, const auto& value) {
    if (value)
      out += fmt::format("{}: {}\n", key, *value);
    else
      out += fmt::format("{}: -\n", key);
  };
  line(SiteOf(Site::TotalMemory).key, v.totalMemory);
  line(SiteOf(Site::Memory1).key, v.memory1);
  line(SiteOf(Site::Memory2).key, v.memory2);
  line(TableOf(NameTable::SceneIndex).key, v.sdx);
  line(TableOf(NameTable::SceneData).key, v.smp);
  line(TableOf(NameTable::BattleIndex).key, v.wdx);
  line(TableOf(NameTable::BattleData).key, v.wmp);
  line(SiteOf(Site::LeaveEvent).key, v.leaveEvent);
  for (size_t k = 0; k < kWordLimits.size(); ++k) line(kWordLimits[k].key, v.wordLimits[k]);
  for (size_t k = 0; k < kByteLimits.size(); ++k) {
    std::optional<int> shown;
    if (v.byteLimits[k]) shown = *v.byteLimits[k];
    line(kByteLimits[k].key, shown);
  }
  if (v.roster) {
    std::array<uint8_t, kRosterSize> slots{};
    GatherRoster(*v.roster, slots);
    out += SiteOf(Site::Roster).key;
    out += ':';
    for (uint8_t person : slots)
      if (person != 0) out += fmt::format(" {}", person);
    out += '\n';
  } else {
    line(SiteOf(Site::Roster).key, std::optional<int>{});
  }
  return out;
}

// ---- planning ------------------------------------------------------------------

PatchPlan PlanPatch(const ZdatChoices& c, size_t fileSize) {
  PatchPlan plan;
  const auto group = [&](std::string_view box, int caption) { return GroupPlan(plan, fileSize, box, caption); };

  if (c.water) {
    GroupPlan g = group("chkgowater", 10100);
    g.Put(SiteOf(Site::WalkOnWater).offset, Of(c.walkOnWater ? kWaterWalkBytes : kWaterNormalBytes));
    g.Finish();
  }
  if (c.memory) {
    GroupPlan g = group("chkMemory", 10101);
    const struct {
      Site site;
      GroupPlan::Field field;
      const std::string& text;
    } rows[] = {
        {Site::TotalMemory, {"txtTotalMemory", 10102, {}}, c.totalMemory},
        {Site::Memory1, {"txtMemory1", 0, "M1"}, c.memory1},
        {Site::Memory2, {"txtMemory2", 0, "M2"}, c.memory2},
    };
    for (const auto& r : rows)
      if (auto v = g.Number(r.field, r.text, INT32_MIN, INT32_MAX)) g.Put(SiteOf(r.site).offset, Le32(int32_t(*v)));
    g.Finish();
  }
  // Picture names: the index name then the data name, entry by entry.
  const auto pictures = [&](std::string_view box, int caption, NameTable indexTable, NameTable dataTable,
                            const GroupPlan::Field& indexField, const std::string& indexText,
                            const GroupPlan::Field& dataField, const std::string& dataText) {
    GroupPlan g = group(box, caption);
    const auto index = g.PictureName(indexField, indexText);
    const auto data = g.PictureName(dataField, dataText);
    if (index && data) {
      const NameTableSite& it = TableOf(indexTable);
      const NameTableSite& dt = TableOf(dataTable);
      for (uint32_t i = 0; i < it.entries; ++i) {
        g.Put(it.entry(i), *index);
        g.Put(dt.entry(i), *data);
      }
    }
    g.Finish();
  };
  if (c.scenePictures)
    pictures("chkmodifySmp", 10103, NameTable::SceneIndex, NameTable::SceneData, {"txtSDX", 0, "SDX Name"}, c.sdx,
             {"txtsmp", 0, "SMP Name"}, c.smp);
  if (c.battlePictures)
    pictures("chkModifywar", 10104, NameTable::BattleIndex, NameTable::BattleData, {"txtWDX", 0, "WDX Name"}, c.wdx,
             {"txtWMP", 0, "WMP Name"}, c.wmp);
  if (c.fight) {
    GroupPlan g = group("chkmodifyfight", 10105);
    g.Put(SiteOf(Site::FightByte).offset, {kFightCount});
    const NameTableSite& it = TableOf(NameTable::FightIndex);
    const NameTableSite& dt = TableOf(NameTable::FightData);
    for (int i = 0; i < kFightFiles; ++i) {
      const std::string index = FightName("fdx", i, it.entryWidth);
      const std::string data = FightName("fmp", i, dt.entryWidth);
      g.Put(it.entry(uint32_t(i)), Bytes(index.begin(), index.end()));
      g.Put(dt.entry(uint32_t(i)), Bytes(data.begin(), data.end()));
    }
    plan.renameFightFiles = g.Finish() && c.renameFightFiles;
  }
  if (c.roster) {
    GroupPlan g = group("chkaddlidui", 10107);
    const auto event = g.Number({"txtliduishijian", 10109, {}}, c.leaveEvent, INT16_MIN, INT16_MAX);
    g.Put(SiteOf(Site::LeaveRoutine).offset, Of(kLeaveRoutineBytes));
    g.Put(SiteOf(Site::LeaveCount1).offset, {kLeaveCount});
    g.Put(SiteOf(Site::LeaveCount2).offset, {kLeaveCount});
    g.Put(SiteOf(Site::Roster).offset, Of(c.rosterSlots));
    if (event) g.Put(SiteOf(Site::LeaveEvent).offset, Le16(int16_t(*event)));
    g.Finish();
  }
  for (size_t k = 0; k < kWordLimits.size(); ++k) {
    const WordLimitSite& row = kWordLimits[k];
    const LimitChoice& choice = c.wordLimits[k];
    if (!choice.checked) continue;
    GroupPlan g = group(row.checkBox, row.caption);
    if (auto v = g.Number({row.field, 0, {}}, choice.value, INT16_MIN, INT16_MAX))
      for (uint32_t at : row.values.view()) g.Put(at, Le16(int16_t(*v)));
    g.Finish();
  }
  for (size_t k = 0; k < kByteLimits.size(); ++k) {
    const ByteLimitSite& row = kByteLimits[k];
    const LimitChoice& choice = c.byteLimits[k];
    if (!choice.checked) continue;
    GroupPlan g = group(row.checkBox, row.caption);
    if (!choice.cancel) {
      if (auto v = g.Number({row.field, 0, {}}, choice.value, 0, 255))
        for (uint32_t at : row.values.view()) g.Put(at, {uint8_t(*v)});
    }
    const auto branches = row.branches.view();
    for (size_t b = 0; b < branches.size(); ++b) {
      if (BranchWidth(row, b) == 2)
        g.Put(branches[b], Of(choice.cancel ? kRemoveNearBranch : kKeepNearBranch));
      else
        g.Put(branches[b], {choice.cancel ? kRemoveBranch : kKeepBranch});
    }
    g.Finish();
  }
  return plan;
}

namespace {

// The group's caption, and the field's name after it when it has one.
std::string FieldName(const TextCodec& text, const Refusal& r) {
  std::string name = r.caption ? text.UiString(r.caption) : std::string(r.group);
  std::string field = r.fieldCaption ? text.UiString(r.fieldCaption) : std::string(r.fieldLabel);
  if (!field.empty()) name += " / " + field;
  return name;
}

}  // namespace

std::string RefusalMessage(const TextCodec& text, const Refusal& r, size_t fileSize) {
  switch (r.kind) {
    case Refusal::Kind::Number:
      return Said(text, FormatInterfaceString(Str::PatchNotNumber, FieldName(text, r), r.text, r.lo, r.hi));
    case Refusal::Kind::Name:
      return Said(text, FormatInterfaceString(Str::PatchNameTooLong, FieldName(text, r), r.text, kMaxPictureName));
    case Refusal::Kind::ShortFile:
      return Said(text, FormatInterfaceString(Str::PatchPastFileEnd, FieldName(text, r), fileSize, r.needed));
  }
  return {};
}

// ---- opening ---------------------------------------------------------------------

ZdatFile ReadZdat(const std::filesystem::path& gameDir) {
  ZdatFile file;
  file.path = FindGameFile(gameDir, "z.dat");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file.path, ec)) return file;
  Result<Bytes> bytes = ReadWholeFile(file.path);
  if (!bytes) {
    file.error = bytes.error();
    return file;
  }
  file.found = true;
  file.size = bytes->size();
  file.values = ReadZdatValues(*bytes);
  return file;
}

std::string ZdatOpenProblem(const TextCodec& text, const ZdatFile& file) {
  if (!file.error.empty()) return Said(text, FormatInterfaceString(Str::ZdatUnreadable, file.error));
  if (!file.found) return Said(text, FormatInterfaceString(Str::ZdatMissingValuesEmpty, file.path.string()));
  if (file.size < HighestSiteEnd())
    return Said(text, FormatInterfaceString(Str::ZdatShort, file.size, HighestSiteEnd()));
  return {};
}

std::vector<std::string> RosterPersonChoices(const NameTables& names) {
  const size_t count = std::min<size_t>(names.persons.size(), 256);
  std::vector<std::string> entries;
  entries.reserve(count);
  for (size_t i = 0; i < count; ++i) entries.push_back(NumberedName(uint32_t(i), names.persons[i].name));
  return entries;
}

// ---- applying --------------------------------------------------------------------

PatchSession& RunPatchSession() {
  static PatchSession session;
  return session;
}

Status ApplyWrites(const std::filesystem::path& zdat, const std::vector<ByteWrite>& writes, PatchSession& session) {
  if (writes.empty()) return Ok();
  Result<Bytes> before = ReadWholeFile(zdat);
  if (!before) return before.passError();
  for (const ByteWrite& w : writes)
    if (size_t(w.offset) + w.bytes.size() > before->size())
      return Error{FormatInterfaceString(Str::PatchFileTooShort, zdat.string(), before->size(),
                                         size_t(w.offset) + w.bytes.size())};

  std::error_code ec;
  std::filesystem::path key = std::filesystem::weakly_canonical(zdat, ec);
  if (ec) key = std::filesystem::absolute(zdat);
  if (!session.backedUp.contains(key)) {
    std::filesystem::path bak = zdat;
    bak += ".bak";
    // Journalled like a save, so a stop part-way leaves no z.dat.bak.tmp.
    Status kept = WriteFilesAtomic({{bak, *before}}, false);
    if (!kept) return kept;
    session.backedUp.insert(key);
  }

  std::vector<InPlaceWrite> runs;
  runs.reserve(writes.size());
  for (const ByteWrite& w : writes) runs.push_back(InPlaceWrite{w.offset, w.bytes});
  return WriteInPlace(zdat, runs);
}

std::vector<std::string> RenameFightFiles(const std::filesystem::path& gameDir) {
  std::vector<std::string> failures;
  const struct { std::string_view extension, prefix; } kinds[] = {{".idx", "fdx"}, {".grp", "fmp"}};
  for (int i = 0; i < kFightFiles; ++i) {
    for (const auto& kind : kinds) {
      const std::string oldName = fmt::format("fight{:03}{}", i, kind.extension);
      const std::filesystem::path old = FindGameFile(gameDir, oldName);
      std::error_code ec;
      if (!std::filesystem::is_regular_file(old, ec)) continue;
      const std::string newName = fmt::format("{}{:03}", kind.prefix, i);
      const std::filesystem::path existing = FindGameFile(gameDir, newName);
      if (std::filesystem::exists(existing, ec)) std::filesystem::remove(existing, ec);
      if (!ec) std::filesystem::rename(old, gameDir / newName, ec);
      if (ec) failures.push_back(oldName);
    }
  }
  return failures;
}

Status RestoreZdatBackup(const TextCodec& text, const std::filesystem::path& gameDir, PatchSession& session) {
  const std::filesystem::path zdat = FindGameFile(gameDir, "z.dat");
  std::filesystem::path bak = zdat;
  bak += ".bak";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(bak, ec))
    return Error{text.UiString(Str::ZdatBackupMissing) + ": " + bak.string()};
  Result<Bytes> kept = ReadWholeFile(bak);
  if (!kept) return kept.passError();
  if (Status written = WriteFilesAtomic({{zdat, *kept}}, false); !written) return written;
  std::filesystem::path key = std::filesystem::weakly_canonical(zdat, ec);
  if (ec) key = std::filesystem::absolute(zdat);
  session.backedUp.erase(key);
  return Ok();
}

PatchOutcome PatchZdat(const std::filesystem::path& gameDir, const ZdatChoices& choices, PatchSession& session) {
  PatchOutcome out;
  const std::filesystem::path zdat = FindGameFile(gameDir, "z.dat");
  out.path = zdat;
  std::error_code ec;
  out.fileFound = std::filesystem::is_regular_file(zdat, ec);
  if (out.fileFound) {
    const auto size = std::filesystem::file_size(zdat, ec);
    out.fileSize = ec ? 0 : size_t(size);
  }
  out.plan = PlanPatch(choices, out.fileSize);
  if (!out.fileFound) return out;
  out.written = ApplyWrites(zdat, out.plan.writes, session);
  if (out.written && out.plan.renameFightFiles) out.renameFailures = RenameFightFiles(gameDir);
  return out;
}

std::string PatchOutcomeMessage(const TextCodec& text, const PatchOutcome& outcome) {
  std::vector<std::string> paragraphs;
  if (!outcome.fileFound && !outcome.plan.refusals.empty()) {
    paragraphs.push_back(Said(text, FormatInterfaceString(Str::ZdatMissingNothingWritten, outcome.path.string())));
  } else {
    for (const Refusal& r : outcome.plan.refusals) paragraphs.push_back(RefusalMessage(text, r, outcome.fileSize));
  }
  if (!outcome.written)
    paragraphs.push_back(Said(text, FormatInterfaceString(Str::ZdatNotModified, outcome.written.error())));
  if (!outcome.renameFailures.empty()) {
    std::string names;
    for (const std::string& name : outcome.renameFailures) names += (names.empty() ? "" : ", ") + name;
    paragraphs.push_back(Said(text, FormatInterfaceString(Str::FightFilesNotRenamed, names)));
  }
  std::string message;
  for (const std::string& p : paragraphs) message += (message.empty() ? "" : "\n") + p;
  return message;
}

}  // namespace tavrel::zdat
