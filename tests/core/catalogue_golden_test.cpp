// The instruction dialogs' controls and the words they edit, against
// tests/data/dialog_words.txt, written down from the description of each
// dialog rather than from the catalogue, so a slip in either shows up.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "app/instruction_catalogue.h"

namespace tavrel::testing {
namespace {

using Row = std::tuple<std::string, int, std::string, std::string>;  // dialog, word, control, how

std::string KindName(FieldControl control) {
  switch (control) {
    case FieldControl::List:
      return "list";
    case FieldControl::Text:
      return "text";
    case FieldControl::Check:
      return "check";
    case FieldControl::DialogueText:
      return "dialogue";
  }
  return "?";
}

TEST(CatalogueGolden, EveryDialogEditsTheDescribedWordsThroughTheDescribedControls) {
  std::ifstream file(TAVREL_TEST_DATA_DIR "/dialog_words.txt");
  ASSERT_TRUE(file) << "tests/data/dialog_words.txt";
  std::set<Row> expected;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    Row row;
    in >> std::get<0>(row) >> std::get<1>(row) >> std::get<2>(row) >> std::get<3>(row);
    ASSERT_FALSE(in.fail()) << line;
    EXPECT_TRUE(expected.insert(row).second) << "twice: " << line;
  }
  ASSERT_EQ(expected.size(), 100u);

  std::set<Row> catalogue;
  for (const CatalogueRow& r : CatalogueRows())
    catalogue.insert({std::string(r.form), r.word, std::string(r.name), KindName(r.control)});
  for (const Row& r : expected)
    EXPECT_TRUE(catalogue.count(r)) << "missing from the catalogue: " << std::get<0>(r) << " word " << std::get<1>(r)
                                    << " " << std::get<2>(r) << " (" << std::get<3>(r) << ")";
  for (const Row& r : catalogue)
    EXPECT_TRUE(expected.count(r)) << "not described: " << std::get<0>(r) << " word " << std::get<1>(r) << " "
                                   << std::get<2>(r) << " (" << std::get<3>(r) << ")";
}

}  // namespace
}  // namespace tavrel::testing
