// r1.idx/r1.grp: the starting save data. Entry 0 is the base entry (the
// party, where it stands, the inventory); entries 1 to 4 are the persons,
// items, scenes and skills, each a table of fixed-size records whose names
// are composed from syllable tables. The database names more scenes than the
// object tables hold, and some portraits are worn by nobody, as in real mods.
#include <array>
#include <string_view>

#include "gamefiles/names.h"
#include "sample/sample_build.h"

namespace tavrel::sample {
namespace {

using Syllables = std::vector<std::string_view>;

const Syllables kSurnames = {"李", "王", "張", "劉", "陳", "楊", "趙", "黃", "周", "吳", "徐", "孫", "胡", "朱",
                             "高", "林", "何", "郭", "馬", "羅", "梁", "宋", "鄭", "謝", "韓", "唐", "馮", "董",
                             "蕭", "程", "曹", "袁", "鄧", "許", "傅", "沈", "曾", "彭", "呂", "蘇", "盧", "蔣",
                             "蔡", "賈", "丁", "魏", "薛", "葉", "余", "潘", "杜", "戴", "夏", "鍾", "汪", "田",
                             "任", "姜", "范", "方", "石", "姚", "譚", "廖", "鄒", "熊", "金", "陸", "郝", "孔",
                             "白", "崔", "康", "毛", "邱", "秦", "江", "史", "顧", "侯", "邵", "孟", "龍", "萬",
                             "段", "雷", "錢", "湯", "尹", "黎", "易", "常", "武", "喬", "賀", "賴", "龔", "文"};
const Syllables kDoubleSurnames = {"歐陽", "司馬", "上官", "慕容", "東方", "令狐",
                                   "諸葛", "獨孤", "公孫", "南宮", "西門", "皇甫"};
const Syllables kGiven = {"雲", "風", "天", "明", "青", "山", "海", "月", "星", "寒", "玉", "龍", "虎",
                          "鶴", "松", "竹", "梅", "蘭", "清", "遠", "飛", "英", "傑", "俊", "秀", "靈",
                          "霜", "雪", "華", "光", "仁", "義", "德", "忠", "勇", "安", "平", "長", "春",
                          "秋", "川", "峰", "鐵", "劍", "琴", "書", "詩", "心", "志", "誠", "輝", "傲",
                          "嘯", "塵", "影", "逸", "凡", "陽", "岳", "冰", "翔", "鳴"};
const Syllables kEpithets = {"鐵臂", "飛天", "笑面", "無影", "神算", "快刀", "白眉", "醉仙", "鬼手", "追風"};
const Syllables kItemMaterials = {"金",   "銀",   "玉",   "鐵",   "青銅", "寒冰", "烈火", "紫霞",
                                  "玄鐵", "白玉", "碧血", "七星", "九轉", "天山", "雪蓮"};
const Syllables kItemKinds = {"劍", "刀", "槍", "扇", "笛", "鞭", "丹", "丸", "散", "膏", "袍",
                              "甲", "冠", "靴", "環", "珠", "佩", "符", "書", "譜", "經"};
const Syllables kItemEffects = {"增加生命", "增加內力", "解毒", "提升攻擊", "輕功加快"};
const Syllables kPlaces = {"青龍", "白沙", "落霞", "黑風", "雲霧", "碧水",
                           "紅葉", "金沙", "寒月", "飛雪", "古松", "望江"};
const Syllables kPlaceKinds = {"村", "鎮", "寺", "山", "寨", "谷", "城", "洞", "島", "莊", "宮", "閣"};
const Syllables kSkillStems = {"太極", "降龍", "七星", "流雲", "破風", "寒冰", "烈焰", "幻影", "天罡", "落英"};
const Syllables kSkillKinds = {"劍法", "刀法", "神拳", "掌", "指", "神功", "心法", "棍法", "身法"};

std::string_view At(const Syllables& table, int i) { return table[size_t(i) % table.size()]; }

// A name field: the BIG5 bytes, cut to the field, zero-padded.
void PutName(Bytes& record, size_t at, size_t width, std::string_view text) {
  const Bytes bytes = Big5Bytes(text);
  for (size_t i = 0; i < width && i < bytes.size(); ++i) record[at + i] = bytes[i];
}

void PutI16(Bytes& record, size_t at, int value) {
  record[at] = static_cast<uint8_t>(uint16_t(value));
  record[at + 1] = static_cast<uint8_t>(uint16_t(value) >> 8);
}

// The rest of a record: plausible small statistics, never read by the editor.
void PutStatistics(Bytes& record, size_t from, SampleRandom& random) {
  for (size_t at = from; at + 2 <= record.size(); at += 2) PutI16(record, at, random.Below(4) ? random.Below(200) : 0);
}

std::string ItemName(int item) {
  const int materials = int(kItemMaterials.size());
  return std::string(At(kItemMaterials, item % materials)) + std::string(At(kItemKinds, item / materials));
}
// Each place once with each kind: the names stay apart past the twelfth.
std::string SceneName(int scene) {
  return std::string(At(kPlaces, scene)) + std::string(At(kPlaceKinds, scene * 5 + scene / int(kPlaces.size())));
}
std::string SkillName(int skill) {
  return std::string(At(kSkillStems, skill % int(kSkillStems.size()))) +
         std::string(At(kSkillKinds, skill / int(kSkillStems.size())));
}

// The base entry: where the hero and the boat stand, the party and the
// inventory, in `slots` slots of an item and its count.
Bytes BaseBlock(int slots) {
  Bytes block(size_t(36 + 4 * slots), 0);
  PutI16(block, 4, 358);  // hero X, Y on the world map, and again X1, Y1
  PutI16(block, 6, 235);
  PutI16(block, 8, 358);
  PutI16(block, 10, 235);
  PutI16(block, 12, 2);    // facing
  PutI16(block, 14, 352);  // the boat
  PutI16(block, 16, 240);
  PutI16(block, 18, 352);
  PutI16(block, 20, 240);
  PutI16(block, 24, 0);  // the party: the hero alone
  for (int member = 1; member < 6; ++member) PutI16(block, size_t(24 + 2 * member), -1);
  for (int slot = 0; slot < slots; ++slot) {
    const bool held = slot < 4;  // a little silver, a medicine, a sword, a book
    PutI16(block, size_t(36 + 4 * slot), held ? 40 * slot + 1 : -1);
    PutI16(block, size_t(38 + 4 * slot), held ? (slot == 0 ? 500 : slot) : 0);
  }
  return block;
}

// The portrait person `p` wears: the first persons their own, the others
// shared; none wears a portrait from `sizes.firstUnwornPortrait` on (whoever
// would wears the one four times the unworn count below it instead, which
// others share too), and the last person wears none at all.
int PortraitOf(int p, const SampleSizes& sizes) {
  if (p == sizes.persons - 1) return -1;
  const int own = p < sizes.portraits ? p : (p * 7) % sizes.portraits;
  const int unworn = sizes.portraits - sizes.firstUnwornPortrait;
  return own >= sizes.firstUnwornPortrait && unworn > 0 ? own - 4 * unworn : own;
}

}  // namespace

std::string PersonName(int person) {
  std::string name;
  const bool doubleSurname = person % 11 == 3;
  name += doubleSurname ? At(kDoubleSurnames, person / 11) : At(kSurnames, person * 37 + 11);
  name += At(kGiven, person * 13 + 7);
  if (person % 3 != 0) name += At(kGiven, person * 29 + 3);
  // Now and then a name that fills the whole 10-byte field.
  if (doubleSurname && person % 2 == 1) name += At(kGiven, person * 5 + 1);
  return name;
}

std::vector<SampleFile> MakeNameFiles(const SampleSizes& sizes) {
  SampleRandom random(1);
  std::vector<Bytes> entries(5);
  entries[0] = BaseBlock(sizes.inventorySlots);
  for (int p = 0; p < sizes.persons; ++p) {
    Bytes record(kPersonRecordSize, 0);
    PutI16(record, 0, p);
    PutI16(record, 2, PortraitOf(p, sizes));
    PutI16(record, 4, random.Below(3));
    PutI16(record, 6, random.Between(1, 30));
    PutName(record, 8, 10, PersonName(p));
    if (p % 4 == 0) PutName(record, 18, 10, std::string(At(kEpithets, p / 4)) + (p % 8 ? "客" : ""));
    PutStatistics(record, 28, random);
    entries[1].insert(entries[1].end(), record.begin(), record.end());
  }
  for (int i = 0; i < sizes.items; ++i) {
    Bytes record(kItemRecordSize, 0);
    PutI16(record, 0, i);
    PutName(record, 2, 20, ItemName(i));
    if (i % 5 == 0) PutName(record, 22, 20, At(kItemEffects, i / 5));
    PutStatistics(record, 42, random);
    entries[2].insert(entries[2].end(), record.begin(), record.end());
  }
  for (int s = 0; s < sizes.databaseScenes; ++s) {
    Bytes record(kSceneRecordSize, 0);
    PutI16(record, 0, s);
    PutName(record, 2, 10, SceneName(s));
    PutStatistics(record, 12, random);
    entries[3].insert(entries[3].end(), record.begin(), record.end());
  }
  for (int k = 0; k < sizes.skills; ++k) {
    Bytes record(kSkillRecordSize, 0);
    PutI16(record, 0, k);
    PutName(record, 2, 20, SkillName(k));
    PutStatistics(record, 22, random);
    entries[4].insert(entries[4].end(), record.begin(), record.end());
  }
  std::vector<SampleFile> files;
  AddIdxGrp(files, "r1.idx", "r1.grp", entries);
  return files;
}

}  // namespace tavrel::sample
