// The instruction kinds: what a sample of rows says each word refers to,
// which dialog serves it and how, checked against the instructions as the
// game's format describes them (the numbers are written out here, not read
// from the table).
#include <gtest/gtest.h>

#include <vector>

#include "app/guide.h"
#include "app/instruction_catalogue.h"
#include "script/instruction_kinds.h"

namespace tavrel {
namespace {

std::vector<RefKind> References(int16_t opcode, int words) {
  std::vector<RefKind> refs;
  for (int w = 0; w < words; ++w) refs.push_back(ReferenceOf(WordKindOf(opcode, w)));
  return refs;
}

using R = RefKind;

TEST(InstructionKinds, WordsReferToWhatTheFormatSays) {
  struct Row {
    int16_t opcode;
    std::vector<RefKind> refs;  // every parameter word of the instruction
  };
  const Row rows[] = {
      {0x01, {R::Dialogue, R::Portrait, R::None}},  // dialogue, speaker's portrait, placement
      {0x02, {R::Item, R::None}},                   // item, quantity
      // scene, scene event, passable, number, three trigger events, three tiles, speed, x, y
      {0x03,
       {R::Scene, R::None, R::None, R::None, R::Event, R::Event, R::Event, R::None, R::None, R::None, R::None, R::None,
        R::None}},
      {0x04, {R::Item, R::None, R::None}},                     // item, then the two jump words
      {0x06, {R::Battle, R::None, R::None, R::None}},          // battle, two jump words, experience flag
      {0x0A, {R::Person}},                                     // joins
      {0x11, {R::Scene, R::None, R::None, R::None, R::None}},  // scene, layer, x, y, tile
      {0x15, {R::Person}},                                     // leaves
      {0x1A, {R::Scene, R::None, R::None, R::None, R::None}},  // the trigger words are increases, no events
      {0x21, {R::Person, R::Skill, R::None}},                  // learns a skill
      {0x23, {R::Person, R::None, R::Skill, R::None}},         // sets skill slot to skill, power
      {0x26, {R::Scene, R::None, R::None, R::None}},           // scene, layer, old and new tile
      {0x27, {R::Scene}},                                      // opens a scene
      {0x29, {R::Person, R::Item, R::None}},                   // a person gets an item
      {0x32, {R::Item, R::Item, R::Item, R::Item, R::Item, R::None, R::None}},  // five items, two jump words
      {0x37, {R::None, R::None, R::None, R::None}},  // a scene event number, not a kdef event
      {0x3C, {R::Scene, R::None, R::None, R::None, R::None}},
      {0x3F, {R::Person, R::None}},
      {0x43, {R::None}},  // sound effect
  };
  for (const Row& row : rows)
    EXPECT_EQ(References(row.opcode, int(row.refs.size())), row.refs) << "opcode " << row.opcode;
  EXPECT_EQ(References(-1, 3), (std::vector<RefKind>{R::None, R::None, R::None}));
  EXPECT_EQ(References(24, 2), (std::vector<RefKind>{R::None, R::None}));
  EXPECT_EQ(References(200, 2), (std::vector<RefKind>{R::None, R::None}));
}

TEST(InstructionKinds, OnlySceneAndTriggerWordsHaveStandInValues) {
  EXPECT_TRUE(IsStandInValue(WordKindOf(0x03, 0), -2));  // the current scene
  EXPECT_FALSE(IsStandInValue(WordKindOf(0x03, 0), -1));
  EXPECT_TRUE(IsStandInValue(WordKindOf(0x03, 4), -2));   // keep the trigger
  EXPECT_TRUE(IsStandInValue(WordKindOf(0x03, 6), -1));   // clear it
  EXPECT_FALSE(IsStandInValue(WordKindOf(0x27, 0), -2));  // opening a scene has no current one
  EXPECT_FALSE(IsStandInValue(WordKindOf(0x0A, 0), -2));
}

TEST(InstructionKinds, GuidesAndDialogsOfASampleOfRows) {
  struct Row {
    int16_t opcode;
    GuideKind guide;
    std::string_view form;
    DialogClass dialogClass;
  };
  const Row rows[] = {
      {-1, GuideKind::TooSimple, "", DialogClass::Plain},
      {0x00, GuideKind::TooSimple, "", DialogClass::Plain},
      {0x01, GuideKind::Dialog, "frmStatement_0x01", DialogClass::Dialogue},
      {0x03, GuideKind::Dialog, "frmstatement_0x03", DialogClass::SceneEvent},
      {0x05, GuideKind::TooSimple, "", DialogClass::Plain},
      {0x11, GuideKind::Dialog, "frmStatement_0x11", DialogClass::TilePreview},
      {0x12, GuideKind::Dialog, "frmStatement_0x12", DialogClass::Plain},
      {0x18, GuideKind::NoGuide, "", DialogClass::Plain},
      {0x1B, GuideKind::Dialog, "frmStatement_0x1B", DialogClass::TilePreview},
      {0x2B, GuideKind::Dialog, "frmStatement_0x12", DialogClass::Plain},  // shares the dialog of 0x12
      {0x2C, GuideKind::Dialog, "frmStatement_0x2c", DialogClass::TilePreview},
      {0x32, GuideKind::NoGuide, "", DialogClass::Plain},
      {0x38, GuideKind::Dialog, "FrmStatement_0x38", DialogClass::Plain},
      {0x3C, GuideKind::Dialog, "frmStatement_0x3c", DialogClass::TilePreview},
      {0x3F, GuideKind::Dialog, "frmstatement_0x3f", DialogClass::Plain},
      {0x43, GuideKind::NoGuide, "", DialogClass::Plain},
  };
  for (const Row& row : rows) {
    const InstructionKind& kind = KindOf(row.opcode);
    EXPECT_EQ(kind.guide, row.guide) << row.opcode;
    EXPECT_EQ(kind.form, row.form) << row.opcode;
    EXPECT_EQ(kind.dialogClass, row.dialogClass) << row.opcode;
    EXPECT_EQ(GuideFor(row.opcode).form, row.form) << row.opcode;
  }
}

TEST(InstructionKinds, ListsFollowWhatTheWordHolds) {
  // The person list of 0x0a, the item list of 0x02, the scene list with the
  // current scene of 0x11 and the portraits of the dialogue's speaker.
  EXPECT_EQ(DialogRows("frmStatement_0x0a")[0].list.source, ListSource::Persons);
  EXPECT_EQ(DialogRows("frmstatement_0x02")[0].list.source, ListSource::Items);
  const ListFormat scene = DialogRows("frmStatement_0x11")[0].list;
  EXPECT_EQ(scene.source, ListSource::Scenes);
  EXPECT_NE(scene.currentString, 0);
  EXPECT_EQ(DialogRows("frmStatement_0x01")[1].list.source, ListSource::Portraits);
  EXPECT_EQ(DialogRows("frmStatement_0x21")[1].list.source, ListSource::Skills);
}

TEST(InstructionKinds, PreviewFieldsAreFoundByTheirRole) {
  auto roleOf = [](std::string_view form, std::string_view name) {
    for (const CatalogueRow& row : DialogRows(form))
      if (row.name == name) return row.role;
    return FieldRole::None;
  };
  EXPECT_EQ(roleOf("frmStatement_0x11", "txtPicnum"), FieldRole::InstructionTile);
  EXPECT_EQ(roleOf("frmStatement_0x3c", "txtPicnum"), FieldRole::InstructionTile);
  EXPECT_EQ(roleOf("frmStatement_0x1B", "txtstart"), FieldRole::AnimationStart);
  EXPECT_EQ(roleOf("frmStatement_0x2c", "txtend2"), FieldRole::SecondAnimationEnd);
  EXPECT_EQ(roleOf("frmstatement_0x03", "txtpic3"), FieldRole::EventTile3);
  EXPECT_EQ(roleOf("frmstatement_0x03", "txtnum"), FieldRole::None);
}

}  // namespace
}  // namespace tavrel
