#pragma once
// One decoded instruction of an event script, or one jump label.
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

struct Statement {
  int16_t Id = 0;           // opcode; -1 end of event; 0 for a label
  int32_t isGoto = 0;       // 0 no jump, 1 jumps when the condition holds, 2 when it fails
  int16_t GotoAddress = 0;  // jump distance in words as decoded
  int16_t yesOffset = 0;    // word position of the yes jump, from the opcode word
  int16_t noOffset = 0;     // word position of the no jump
  std::string gotoLabel;    // ":LabelN" of a regular conditional
  bool islabel = false;
  std::string note;         // the label's name, or the instruction's readable line
  int32_t DataNum = 0;      // number of parameter words
  std::vector<int16_t> data;

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

Statement MakeLabel(const std::string& name);

}  // namespace tavrel
