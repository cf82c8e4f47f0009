#include "script/script_text.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <optional>
#include <system_error>
#include <unordered_map>

#include "gamefiles/file_io.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;

namespace {

constexpr int kScriptFormat = 1;
constexpr size_t kCommentColumn = 32;               // the description comment starts here when the words leave room
constexpr int kIrregularJump = Str::IrregularJump;  // "不规范的条件转移"
constexpr int kUnknownInstruction = 584;

// ---------------------------------------------------------------- lines

}  // namespace

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

namespace {

struct Token {
  std::string_view text;
  size_t offset;  // in the line
};

// The tokens of a line before its comment ("#" to the end), separated by
// spaces and tabs.
std::vector<Token> Tokens(std::string_view line, size_t* codeEnd = nullptr) {
  size_t end = line.find('#');
  if (end == std::string_view::npos) end = line.size();
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < end) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < end && line[j] != ' ' && line[j] != '\t') ++j;
    tokens.push_back(Token{line.substr(i, j - i), i});
    i = j;
  }
  if (codeEnd) {
    size_t e = end;
    while (e > 0 && (line[e - 1] == ' ' || line[e - 1] == '\t')) --e;
    *codeEnd = e;
  }
  return tokens;
}

// A decimal number, optionally negative, as a whole token.
std::optional<int64_t> ParseNumber(std::string_view s) {
  if (s.empty() || s.size() > 12) return std::nullopt;
  int64_t value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

bool IsLabelName(std::string_view s) {
  if (s.size() < 2 || s[0] != ':') return false;
  return std::all_of(s.begin() + 1, s.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// Control characters of a description (a dialogue text may hold line breaks)
// would end the comment's line.
std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (static_cast<unsigned char>(c) < 0x20)
      out += ' ';
    else
      out += c;
  }
  return out;
}

// ---------------------------------------------------------------- attributes

const InstructionAttr* AttrOf(int32_t op, const AttributeTable& attributes) {
  if (op < 0 || op >= kOpcodeCount) return nullptr;
  const InstructionAttr& attr = attributes[size_t(op)];
  return attr.length >= 1 ? &attr : nullptr;
}

// A conditional with two distinct jump words inside the instruction: the
// only kind whose jump can be written as a label.
bool HasJumpWords(const InstructionAttr& attr) {
  return attr.conditional != 0 && attr.yesOffset >= 1 && attr.yesOffset < attr.length && attr.noOffset >= 1 &&
         attr.noOffset < attr.length && attr.yesOffset != attr.noOffset;
}

// ---------------------------------------------------------------- writing

// One line's worth of words: an instruction as the attribute table cuts it,
// or one word that forms none.
struct Unit {
  int32_t start = 0;
  int32_t length = 1;
  bool raw = false;
};

struct LabeledJump {
  size_t unit = 0;
  int32_t wordIndex = 0;  // position of the jump word in the instruction
  int32_t target = 0;     // word position of the label
  int32_t label = 0;      // label number
  int32_t depth = 0;      // indentation of the conditional
};

std::vector<Unit> CutUnits(std::span<const int16_t> words, const AttributeTable& attributes) {
  std::vector<Unit> units;
  const int64_t size = static_cast<int64_t>(words.size());
  int64_t pos = 0;
  while (pos < size) {
    const int16_t op = words[size_t(pos)];
    Unit u;
    u.start = static_cast<int32_t>(pos);
    if (op != -1) {
      const InstructionAttr* attr = AttrOf(op, attributes);
      if (attr && size - pos >= attr->length)
        u.length = attr->length;
      else
        u.raw = true;
    }
    units.push_back(u);
    pos += u.length;
  }
  return units;
}

std::string Indent(int32_t depth) { return std::string(size_t(std::max(depth, 0)) * 2, ' '); }

void AppendLine(std::string& out, const std::string& code, const std::string& comment) {
  out += code;
  if (!comment.empty()) {
    out.append(code.size() < kCommentColumn ? kCommentColumn - code.size() : 2, ' ');
    out += "# ";
    out += comment;
  }
  out += '\n';
}

void AppendHeaderNumbers(std::string& out, const AttributeTable& attributes) {
  out += "# opcode length conditional yes no\n";
  for (int op = 0; op < kOpcodeCount; ++op) {
    const InstructionAttr& a = attributes[size_t(op)];
    AppendLine(out, fmt::format("attr {} {} {} {} {}", op, a.length, a.conditional, a.yesOffset, a.noOffset),
               OneLine(a.name));
  }
}

// ---------------------------------------------------------------- compiling

class Diagnostics {
 public:
  Diagnostics(std::string file, std::vector<TextDiagnostic>& out) : file_(std::move(file)), out_(out) {}
  void At(int line, std::string_view text, size_t offset, std::string message) {
    out_.push_back(TextDiagnostic{file_, line, TextColumn(text, offset), std::move(message)});
  }
  void File(std::string message) { out_.push_back(TextDiagnostic{file_, 0, 0, std::move(message)}); }
  const std::string& file() const { return file_; }

 private:
  std::string file_;
  std::vector<TextDiagnostic>& out_;
};

constexpr const char* kNumberRange = "a number from -32768 to 32767";

// A data word; reports and returns nothing when the token is none.
std::optional<int16_t> Word(const Token& t, int line, std::string_view text, Diagnostics& d) {
  std::optional<int64_t> v = ParseNumber(t.text);
  if (!v) {
    d.At(line, text, t.offset, fmt::format("expected {}, found '{}'", kNumberRange, t.text));
    return std::nullopt;
  }
  if (*v < INT16_MIN || *v > INT16_MAX) {
    d.At(line, text, t.offset, fmt::format("the number {} is out of range: expected {}", *v, kNumberRange));
    return std::nullopt;
  }
  return static_cast<int16_t>(*v);
}

struct LabelRef {
  size_t word;  // index of the jump word in the output
  int32_t end;  // word position after the instruction
  std::string name;
  int line;
  std::string_view text;
  size_t offset;
};

struct LabelDef {
  int32_t position;
  int line;
};

// One instruction line: opcode, data words, label references in jump words.
void CompileInstruction(const std::vector<Token>& tokens, int line, std::string_view text, size_t codeEnd,
                        const AttributeTable& attributes, Diagnostics& d, std::vector<int16_t>& words,
                        std::vector<LabelRef>& refs) {
  std::optional<int64_t> opcode = ParseNumber(tokens[0].text);
  if (!opcode) {
    d.At(line, text, tokens[0].offset,
         fmt::format("expected an opcode (a number), 'raw' or a label line such as :Label0, found '{}'",
                     tokens[0].text));
    return;
  }
  if (*opcode < INT16_MIN || *opcode > INT16_MAX) {
    d.At(line, text, tokens[0].offset,
         fmt::format("the number {} is out of range: expected {}", *opcode, kNumberRange));
    return;
  }
  const int16_t op = static_cast<int16_t>(*opcode);
  if (op == -1) {
    if (tokens.size() > 1)
      d.At(line, text, tokens[1].offset, "expected the end of the line: the end instruction -1 has no data words");
    else
      words.push_back(-1);
    return;
  }
  const InstructionAttr* attr = AttrOf(op, attributes);
  if (!attr) {
    d.At(line, text, tokens[0].offset,
         fmt::format("opcode {} is no instruction of the attribute table; write 'raw {}' for a word that forms none",
                     op, op));
    return;
  }
  const size_t length = size_t(attr->length);
  if (tokens.size() != length) {
    const size_t at = tokens.size() > length ? tokens[length].offset : codeEnd;
    d.At(line, text, at,
         fmt::format("opcode {} takes {} words (the opcode and {} data words), this line has {}; write 'raw' "
                     "lines for words that form no instruction",
                     op, length, length - 1, tokens.size()));
    return;
  }
  const bool jumps = HasJumpWords(*attr);
  const int32_t start = static_cast<int32_t>(words.size());
  const int32_t end = start + attr->length;
  std::vector<int16_t> out{op};
  std::optional<size_t> refAt;  // token index of the label reference
  bool failed = false;
  for (size_t k = 1; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    if (t.text.starts_with(':')) {
      const bool jumpWord = jumps && (int32_t(k) == attr->yesOffset || int32_t(k) == attr->noOffset);
      if (!jumpWord) {
        d.At(line, text, t.offset,
             jumps ? fmt::format("expected {}: a label stands only in a jump word of opcode {} (word {} or {})",
                                 kNumberRange, op, attr->yesOffset, attr->noOffset)
                   : fmt::format("expected {}: opcode {} has no jump words to hold a label", kNumberRange, op));
        failed = true;
      } else if (!IsLabelName(t.text)) {
        d.At(line, text, t.offset,
             fmt::format("expected a label name after ':' (letters, digits and _), found '{}'", t.text));
        failed = true;
      } else if (refAt) {
        d.At(line, text, t.offset, "expected 0: a conditional that jumps to a label keeps its other jump word 0");
        failed = true;
      } else {
        refAt = k;
      }
      out.push_back(0);
      continue;
    }
    std::optional<int16_t> w = Word(t, line, text, d);
    failed = failed || !w;
    out.push_back(w.value_or(0));
  }
  if (refAt && !failed) {
    const size_t other = int32_t(*refAt) == attr->yesOffset ? size_t(attr->noOffset) : size_t(attr->yesOffset);
    if (out[other] != 0) {
      d.At(line, text, tokens[other].offset,
           "expected 0: a conditional that jumps to a label keeps its other jump word 0");
      failed = true;
    }
  }
  if (failed) return;
  if (refAt)
    refs.push_back(
        LabelRef{size_t(start) + *refAt, end, std::string(tokens[*refAt].text), line, text, tokens[*refAt].offset});
  words.insert(words.end(), out.begin(), out.end());
}

struct Header {
  int32_t events = -1;
  int eventsLine = 0;
};

Header CompileHeader(std::string_view text, const AttributeTable& attributes, Diagnostics& d) {
  Header header;
  bool format = false;
  std::array<bool, kOpcodeCount> seen{};
  const std::vector<std::string_view> lines = SplitTextLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line = int(i) + 1;
    const std::string_view l = lines[i];
    size_t codeEnd = 0;
    const std::vector<Token> t = Tokens(l, &codeEnd);
    if (t.empty()) continue;
    const std::string_view key = t[0].text;
    auto count = [&](size_t n) {
      if (t.size() == n) return true;
      d.At(line, l, t.size() > n ? t[n].offset : codeEnd,
           fmt::format("expected '{}' and {} value{}", key, n - 1, n == 2 ? "" : "s"));
      return false;
    };
    if (key == "format") {
      if (!count(2)) continue;
      if (ParseNumber(t[1].text) != kScriptFormat)
        d.At(line, l, t[1].offset, fmt::format("expected the format {}, found '{}'", kScriptFormat, t[1].text));
      format = true;
    } else if (key == "charset") {
      if (!count(2)) continue;
      if (t[1].text != "GBK" && t[1].text != "BIG5")
        d.At(line, l, t[1].offset, fmt::format("expected GBK or BIG5, found '{}'", t[1].text));
    } else if (key == "events") {
      if (!count(2)) continue;
      std::optional<int64_t> n = ParseNumber(t[1].text);
      if (!n || *n < 0 || *n > 999999999) {
        d.At(line, l, t[1].offset, fmt::format("expected the number of events, found '{}'", t[1].text));
        continue;
      }
      header.events = static_cast<int32_t>(*n);
      header.eventsLine = line;
    } else if (key == "attr") {
      if (!count(6)) continue;
      std::array<int64_t, 5> v{};
      bool numbers = true;
      for (size_t k = 0; k < 5 && numbers; ++k) {
        std::optional<int64_t> n = ParseNumber(t[k + 1].text);
        if (!n) {
          d.At(line, l, t[k + 1].offset, fmt::format("expected a number, found '{}'", t[k + 1].text));
          numbers = false;
        }
        v[k] = n.value_or(0);
      }
      if (!numbers) continue;
      if (v[0] < 0 || v[0] >= kOpcodeCount || seen[size_t(v[0])]) {
        d.At(line, l, t[1].offset,
             v[0] < 0 || v[0] >= kOpcodeCount ? fmt::format("expected an opcode from 0 to {}", kOpcodeCount - 1)
                                              : fmt::format("opcode {} is recorded twice", v[0]));
        continue;
      }
      seen[size_t(v[0])] = true;
      const InstructionAttr& a = attributes[size_t(v[0])];
      if (v[1] != a.length || v[2] != a.conditional || v[3] != a.yesOffset || v[4] != a.noOffset)
        d.At(line, l, t[2].offset,
             fmt::format("opcode {} was written with length {}, conditional {}, jump words {} and {}, but the "
                         "attribute table now gives {} {} {} {}: the words would not mean the same",
                         v[0], v[1], v[2], v[3], v[4], a.length, a.conditional, a.yesOffset, a.noOffset));
    } else {
      d.At(line, l, t[0].offset, fmt::format("expected 'format', 'charset', 'events' or 'attr', found '{}'", key));
    }
  }
  if (!format) d.File("the header lacks its line 'format 1'");
  if (header.events < 0) d.File("the header lacks its line 'events N' with the number of events");
  for (int op = 0; op < kOpcodeCount; ++op)
    if (!seen[size_t(op)]) {
      d.File(fmt::format("the header lacks the line 'attr {} ...' with the attribute record of opcode {}", op, op));
      break;
    }
  return header;
}

}  // namespace

// ---------------------------------------------------------------- public

std::string TextDiagnostic::ToString() const {
  if (line <= 0) return fmt::format("{}: {}", file, message);
  return fmt::format("{}:{}:{}: {}", file, line, column, message);
}

int TextColumn(std::string_view line, size_t offset) {
  offset = std::min(offset, line.size());
  int column = 1;
  for (size_t i = 0; i < offset; ++i)
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  return column;
}

std::string JoinDiagnostics(const std::vector<TextDiagnostic>& diagnostics, size_t limit) {
  std::string out;
  for (size_t i = 0; i < diagnostics.size() && i < limit; ++i) {
    if (!out.empty()) out += '\n';
    out += diagnostics[i].ToString();
  }
  if (diagnostics.size() > limit) out += fmt::format("\n... and {} more", diagnostics.size() - limit);
  return out;
}

std::string ScriptFileName(int32_t event) { return fmt::format("{:04}{}", event, kScriptFileSuffix); }

std::optional<int32_t> EventNumberOf(const std::string& name) {
  const std::string_view suffix = kScriptFileSuffix;
  if (name.size() <= suffix.size() || !std::string_view(name).ends_with(suffix)) return std::nullopt;
  const std::string_view stem = std::string_view(name).substr(0, name.size() - suffix.size());
  if (stem.size() > 9 || !std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  int32_t n = 0;
  std::from_chars(stem.data(), stem.data() + stem.size(), n);
  return n;
}

std::string WriteEventScript(std::span<const int16_t> words, int32_t number, const AttributeTable& attributes,
                             const DescribeContext& ctx) {
  const std::vector<Unit> units = CutUnits(words, attributes);
  const int32_t size = static_cast<int32_t>(words.size());
  std::vector<char> boundary(size_t(size) + 1, 0);
  for (const Unit& u : units) boundary[size_t(u.start)] = 1;
  boundary[size_t(size)] = 1;

  // Regular jumps that land on a boundary become labels, numbered in word
  // order as decoding numbers them.
  std::vector<LabeledJump> jumps;
  std::vector<int32_t> jumpOfUnit(units.size(), -1);
  std::vector<int32_t> depthChange(size_t(size) + 2, 0);
  for (size_t i = 0; i < units.size(); ++i) {
    const Unit& u = units[i];
    if (u.raw) continue;
    const InstructionAttr* attr = AttrOf(words[size_t(u.start)], attributes);
    if (!attr || !HasJumpWords(*attr)) continue;
    const int16_t yes = words[size_t(u.start + attr->yesOffset)];
    const int16_t no = words[size_t(u.start + attr->noOffset)];
    int32_t wordIndex = 0;
    int32_t distance = 0;
    if (no == 0 && yes >= 1)
      wordIndex = attr->yesOffset, distance = yes;
    else if (yes == 0 && no >= 1)
      wordIndex = attr->noOffset, distance = no;
    else
      continue;
    const int64_t target = int64_t(u.start) + u.length + distance;
    if (target > size || !boundary[size_t(target)]) continue;
    jumpOfUnit[i] = static_cast<int32_t>(jumps.size());
    jumps.push_back(LabeledJump{i, wordIndex, static_cast<int32_t>(target), static_cast<int32_t>(jumps.size()), 0});
    depthChange[size_t(u.start + u.length)] += 1;
    depthChange[size_t(target)] -= 1;
  }
  // Labels in the order of their positions; at one position the block
  // opened last closes first.
  std::vector<size_t> byTarget(jumps.size());
  for (size_t k = 0; k < byTarget.size(); ++k) byTarget[k] = k;
  std::sort(byTarget.begin(), byTarget.end(), [&](size_t a, size_t b) {
    return jumps[a].target != jumps[b].target ? jumps[a].target < jumps[b].target : jumps[a].label > jumps[b].label;
  });

  std::string out = fmt::format("# event {}\n", number);
  size_t nextLabel = 0;
  auto labelsUpTo = [&](int32_t position) {
    for (; nextLabel < byTarget.size() && jumps[byTarget[nextLabel]].target <= position; ++nextLabel) {
      const LabeledJump& j = jumps[byTarget[nextLabel]];
      out += Indent(j.depth) + fmt::format(":Label{}\n", j.label);
    }
  };
  int32_t depth = 0;
  int32_t depthPos = 0;  // depthChange applied up to, not including, this position
  for (size_t i = 0; i < units.size(); ++i) {
    const Unit& u = units[i];
    labelsUpTo(u.start);
    for (; depthPos <= u.start; ++depthPos) depth += depthChange[size_t(depthPos)];
    const int16_t op = words[size_t(u.start)];
    if (u.raw) {
      AppendLine(out, Indent(depth) + fmt::format("raw {}", op),
                 OneLine(OpcodeCaption(op) + ":" + ctx.codec.UiString(kUnknownInstruction)));
      continue;
    }
    Statement s;
    s.Id = op;
    s.SetDataNum(u.length - 1);
    for (int32_t k = 1; k < u.length; ++k) s.data[size_t(k - 1)] = words[size_t(u.start + k)];
    std::string code = Indent(depth) + std::to_string(op);
    const LabeledJump* jump = jumpOfUnit[i] >= 0 ? &jumps[size_t(jumpOfUnit[i])] : nullptr;
    for (int32_t k = 1; k < u.length; ++k) {
      code += ' ';
      code += jump && jump->wordIndex == k ? fmt::format(":Label{}", jump->label)
                                           : std::to_string(words[size_t(u.start + k)]);
    }
    std::string note;
    const InstructionAttr* attr = AttrOf(op, attributes);
    if (attr && attr->conditional != 0) {
      s.yesOffset = static_cast<int16_t>(attr->yesOffset);
      s.noOffset = static_cast<int16_t>(attr->noOffset);
      if (jump) {
        jumps[size_t(jumpOfUnit[i])].depth = depth;
        s.isGoto = jump->wordIndex == attr->yesOffset ? 1 : 2;
        s.gotoLabel = fmt::format(":Label{}", jump->label);
      }
    }
    note = DescribeLine(s, ctx);
    if (attr && HasJumpWords(*attr) && !jump) note += " (" + ctx.codec.UiString(kIrregularJump) + ")";
    AppendLine(out, code, OneLine(note));
  }
  labelsUpTo(size);
  return out;
}

std::string WriteScriptHeader(GameCharset charset, int32_t events, const AttributeTable& attributes) {
  std::string out;
  out += "# Tavrel event scripts: one file NNNN.kdef.txt per event, numbered from 0000.\n";
  out += "# To add an event, add the next file and raise 'events'. docs/script-format.md tells the rest.\n";
  out += fmt::format("format {}\n", kScriptFormat);
  out += fmt::format("charset {}\n", CharsetName(charset));
  out += fmt::format("events {}\n", events);
  out += "# The attribute table the scripts were written with; importing needs the same numbers.\n";
  AppendHeaderNumbers(out, attributes);
  return out;
}

CompiledEvent CompileEventScript(std::string_view text, const std::string& fileName, const AttributeTable& attributes) {
  CompiledEvent result;
  Diagnostics d(fileName, result.errors);
  std::vector<LabelRef> refs;
  std::unordered_map<std::string, LabelDef> labels;
  const std::vector<std::string_view> lines = SplitTextLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line = int(i) + 1;
    const std::string_view l = lines[i];
    size_t codeEnd = 0;
    const std::vector<Token> tokens = Tokens(l, &codeEnd);
    if (tokens.empty()) continue;
    const Token& first = tokens[0];
    if (first.text.starts_with(':')) {
      if (!IsLabelName(first.text)) {
        d.At(line, l, first.offset,
             fmt::format("expected a label name after ':' (letters, digits and _), found '{}'", first.text));
      } else if (tokens.size() > 1) {
        d.At(line, l, tokens[1].offset, fmt::format("expected the end of the line after the label {}", first.text));
      } else if (auto [it, added] = labels.try_emplace(std::string(first.text),
                                                       LabelDef{static_cast<int32_t>(result.words.size()), line});
                 !added) {
        d.At(line, l, first.offset,
             fmt::format("the label {} is already defined on line {}; label names are unique in an event", first.text,
                         it->second.line));
      }
      continue;
    }
    if (first.text == "raw") {
      if (tokens.size() == 1) d.At(line, l, codeEnd, fmt::format("expected {} after 'raw'", kNumberRange));
      for (size_t k = 1; k < tokens.size(); ++k)
        if (std::optional<int16_t> w = Word(tokens[k], line, l, d)) result.words.push_back(*w);
      continue;
    }
    CompileInstruction(tokens, line, l, codeEnd, attributes, d, result.words, refs);
  }
  for (const LabelRef& ref : refs) {
    auto found = labels.find(ref.name);
    if (found == labels.end()) {
      d.At(ref.line, ref.text, ref.offset,
           fmt::format("unknown label {}: expected a line '{}' after this instruction", ref.name, ref.name));
      continue;
    }
    const int64_t distance = int64_t(found->second.position) - ref.end;
    if (distance < 0) {
      d.At(ref.line, ref.text, ref.offset,
           fmt::format("the label {} (line {}) stands before the end of this instruction: a jump goes forward only",
                       ref.name, found->second.line));
    } else if (distance > INT16_MAX) {
      d.At(ref.line, ref.text, ref.offset,
           fmt::format("the jump to {} spans {} words: at most {}", ref.name, distance, INT16_MAX));
    } else {
      result.words[ref.word] = static_cast<int16_t>(distance);
    }
  }
  std::sort(result.errors.begin(), result.errors.end(), [](const TextDiagnostic& a, const TextDiagnostic& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return result;
}

CompiledScripts CompileScriptFiles(const std::vector<ScriptFile>& files, const AttributeTable& attributes,
                                   const fs::path& folder) {
  CompiledScripts result;
  auto nameOf = [&](const std::string& name) { return folder.empty() ? name : (folder / name).string(); };
  const ScriptFile* header = nullptr;
  std::map<int32_t, const ScriptFile*> byNumber;
  for (const ScriptFile& f : files) {
    if (f.name == kScriptHeaderName) {
      header = &f;
      continue;
    }
    std::optional<int32_t> n = EventNumberOf(f.name);
    if (!n) continue;
    auto [it, added] = byNumber.try_emplace(*n, &f);
    if (!added)
      result.errors.push_back(TextDiagnostic{
          nameOf(f.name), 0, 0, fmt::format("a second file for event {} besides {}", *n, it->second->name)});
  }
  if (!header) {
    result.errors.push_back(TextDiagnostic{
        nameOf(kScriptHeaderName), 0, 0, "missing: a script folder starts with this header, as the export writes it"});
    return result;
  }
  Diagnostics hd(nameOf(header->name), result.errors);
  const Header h = CompileHeader(header->text, attributes, hd);
  if (h.events < 0) return result;
  for (int32_t k = 0; k < h.events; ++k)
    if (!byNumber.count(k)) {
      hd.File(fmt::format("line {} names {} events, but the event file {} is missing", h.eventsLine, h.events,
                          ScriptFileName(k)));
      break;
    }
  result.events.resize(size_t(h.events));
  for (const auto& [n, f] : byNumber) {
    if (n >= h.events) {
      result.errors.push_back(TextDiagnostic{
          nameOf(f->name), 0, 0,
          fmt::format("event {} lies beyond the {} events named on line {} of {}; raise the count there to add "
                      "events",
                      n, h.events, h.eventsLine, kScriptHeaderName)});
      continue;
    }
    CompiledEvent compiled = CompileEventScript(f->text, nameOf(f->name), attributes);
    result.events[size_t(n)] = std::move(compiled.words);
    result.errors.insert(result.errors.end(), std::make_move_iterator(compiled.errors.begin()),
                         std::make_move_iterator(compiled.errors.end()));
  }
  if (!result.errors.empty()) result.events.clear();
  return result;
}

CompiledScripts ReadScriptFolder(const fs::path& folder, const AttributeTable& attributes) {
  CompiledScripts failed;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    failed.errors.push_back(TextDiagnostic{folder.string(), 0, 0, "not a directory"});
    return failed;
  }
  std::vector<ScriptFile> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name != kScriptHeaderName && !EventNumberOf(name)) continue;
    Result<Bytes> bytes = ReadWholeFile(it->path());
    if (!bytes) {
      failed.errors.push_back(TextDiagnostic{it->path().string(), 0, 0, bytes.error()});
      continue;
    }
    files.push_back(ScriptFile{name, std::string(bytes->begin(), bytes->end())});
  }
  if (ec) failed.errors.push_back(TextDiagnostic{folder.string(), 0, 0, "cannot list: " + ec.message()});
  if (!failed.errors.empty()) return failed;
  return CompileScriptFiles(files, attributes, folder);
}

}  // namespace tavrel
