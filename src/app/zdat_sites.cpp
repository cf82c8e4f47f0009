// The end of the z.dat site table, computed from its rows.
#include "app/zdat_sites.h"

#include <algorithm>

namespace tavrel::zdat {

uint32_t HighestSiteEnd() {
  uint32_t end = 0;
  for (const FixedSite& s : kFixedSites) end = std::max(end, s.end());
  for (const NameTableSite& t : kNameTables) end = std::max(end, t.end());
  for (const WordLimitSite& row : kWordLimits)
    for (uint32_t at : row.values.view()) end = std::max(end, at + 2);
  for (const ByteLimitSite& row : kByteLimits) {
    for (uint32_t at : row.values.view()) end = std::max(end, at + 1);
    const auto branches = row.branches.view();
    for (size_t k = 0; k < branches.size(); ++k) end = std::max(end, branches[k] + BranchWidth(row, k));
  }
  return end;
}

}  // namespace tavrel::zdat
