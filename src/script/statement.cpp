#include "script/statement.h"

#include <ostream>

namespace tavrel {

void Statement::SetDataNum(int32_t n) {
  DataNum = n;
  if (n >= 1) data.assign(static_cast<size_t>(n), 0);
}

int16_t Statement::Word(int i) const {
  if (i < 0 || i >= DataNum || static_cast<size_t>(i) >= data.size()) return 0;
  return data[static_cast<size_t>(i)];
}

bool Statement::SetWord(int i, int16_t value) {
  if (i < 0 || i >= DataNum || static_cast<size_t>(i) >= data.size()) return false;
  data[static_cast<size_t>(i)] = value;
  return true;
}

Statement MakeLabel(const std::string& name) {
  Statement label;
  label.islabel = true;
  label.note = name;
  return label;
}

}  // namespace tavrel

namespace tavrel {

std::ostream& operator<<(std::ostream& out, const StatementText& text) { return out << text.view(); }

}  // namespace tavrel
