// talk.idx/talk.grp: invented dialogue in traditional Chinese, with the
// game's "*" after every 12 Chinese characters; a few texts are empty and a
// few carry ASCII. Stored as BIG5 bytes, complemented, 0x00 terminated.
// As the game's text does, 怎么 and 什么 write 麼 as 么 (A4 5C, whose
// second byte is the ASCII backslash).
#include <fmt/format.h>

#include <string_view>

#include "sample/sample_build.h"

namespace tavrel::sample {
namespace {

const std::vector<std::string_view> kPhrases = {
    "少俠請留步",
    "此地不宜久留",
    "江湖險惡，人心難測",
    "你可曾見過一位白衣劍客",
    "多謝大俠出手相救",
    "這把劍乃是家師遺物",
    "天色已晚，不如在此歇息一宿",
    "前方山路崎嶇，務必小心",
    "聽說後山有一座古廟",
    "老夫等你很久了",
    "想過此路，先問我手中的刀",
    "小二，來壺好酒",
    "客官裡面請",
    "這是怎么回事",
    "不知閣下師承何派",
    "我家小姐病了三天",
    "山中常有猛虎出沒",
    "這本秘笈你拿去吧",
    "你的功夫還差得遠呢",
    "村口的老樹下埋著東西",
    "昨夜有人闖進了藏經閣",
    "若能取回寶物，必有重謝",
    "我們後會有期",
    "請受我一拜",
    "你我不過萍水相逢",
    "這裡的掌櫃是個好人",
    "湖上起霧了，船家不肯開船",
    "師父閉關已有半年",
    "那夥山賊又來搶糧了",
    "你若不信，自己去看",
    "這個謎題我想了十年",
    "且慢，先喝了這碗茶",
    "今日就到此為止",
    "千萬不可告訴別人",
    "你們在做什么",
    "好，就依你所言",
};
const std::vector<std::string_view> kEndings = {"。", "！", "？", "……"};

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// Inserts the game's "*" after every 12th Chinese character that is followed
// by more text.
std::string MarkEveryTwelve(const std::string& text) {
  std::string out;
  int chinese = 0;
  bool pending = false;
  for (size_t i = 0; i < text.size();) {
    size_t len = 1;
    if (!IsAscii(text[i]))
      while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
    if (pending) out += '*', pending = false;
    out.append(text, i, len);
    if (len > 1 && ++chinese % 12 == 0) pending = true;
    i += len;
  }
  return out;
}

std::string Sentence(SampleRandom& random, int phrases) {
  std::string text;
  for (int k = 0; k < phrases; ++k) {
    if (k) text += "，";
    text += random.Pick(kPhrases);
  }
  return text + std::string(random.Pick(kEndings));
}

std::string DialogueText(int i, const SampleSizes& sizes, SampleRandom& random) {
  if (i % 29 == 11) return {};
  if (i % 17 == 5) {
    // Prices, counts and the odd Latin letter are kept as single bytes.
    static const std::vector<std::string_view> kAscii = {"給我{}兩銀子，少一文都不行！", "第{}號房，請上樓。",
                                                         "VIP客房每晚{}兩。", "這裡有{}本書，OK?"};
    return MarkEveryTwelve(fmt::format(fmt::runtime(random.Pick(kAscii)), random.Between(2, 999)));
  }
  if (i % 7 == 2) return MarkEveryTwelve("在下" + PersonName(random.Below(sizes.persons)) + "，" + Sentence(random, 1));
  return MarkEveryTwelve(Sentence(random, random.Between(1, 4)));
}

}  // namespace

std::vector<SampleFile> MakeTalkFiles(const SampleSizes& sizes) {
  SampleRandom random(2);
  std::vector<Bytes> entries;
  entries.reserve(size_t(sizes.dialogues));
  for (int i = 0; i < sizes.dialogues; ++i) {
    Bytes entry = Big5Bytes(DialogueText(i, sizes, random));
    for (uint8_t& b : entry) b = static_cast<uint8_t>(b ^ 0xFF);
    entry.push_back(0x00);
    entries.push_back(std::move(entry));
  }
  std::vector<SampleFile> files;
  AddIdxGrp(files, "talk.idx", "talk.grp", entries);
  return files;
}

}  // namespace tavrel::sample
