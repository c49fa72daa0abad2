#include "data/sample_entries.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <span>
#include <vector>

#include "core/cp932.h"
#include "core/file_names.h"
#include "core/numbers.h"
#include "core/record_file.h"
#include "data/entry_file.h"
#include "data/entry_layout.h"

namespace meet {

namespace L = entry_layout;

namespace {

constexpr size_t kSwimmerNameWidth = 16;
constexpr size_t kSwimmerKanaWidth = 16;
constexpr size_t kPrefNameWidth = 8;
constexpr size_t kAffiliationWidth = 12;
constexpr size_t kTeamKanaStem = 13;  // the club's reading in a team's reading, before " A"

// splitmix64: small, fast, and the same numbers on every platform and
// library version (the standard distributions are not).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0 .. n − 1 (0 when n < 2).
  int Below(int n) { return n < 2 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool PerMille(int p) { return Below(1000) < p; }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[static_cast<size_t>(Below(static_cast<int>(items.size())))]; }

 private:
  uint64_t state_;
};

// ---------------------------------------------------------------------------
// Names. Readings are half-width katakana, as the entry program keeps them.

struct NameAndReading {
  const char* name;
  const char* reading;
};

struct Prefecture {
  const char* name;
  std::array<NameAndReading, 3> cities;  // club towns: three kanji at most
};

constexpr NameAndReading kFamilyNames[] = {
    {"佐藤", "ｻﾄｳ"}, {"鈴木", "ｽｽﾞｷ"}, {"高橋", "ﾀｶﾊｼ"}, {"田中", "ﾀﾅｶ"}, {"伊藤", "ｲﾄｳ"}, {"渡辺", "ﾜﾀﾅﾍﾞ"},
    {"山本", "ﾔﾏﾓﾄ"}, {"中村", "ﾅｶﾑﾗ"}, {"小林", "ｺﾊﾞﾔｼ"}, {"加藤", "ｶﾄｳ"}, {"吉田", "ﾖｼﾀﾞ"}, {"山田", "ﾔﾏﾀﾞ"},
    {"佐々木", "ｻｻｷ"}, {"山口", "ﾔﾏｸﾞﾁ"}, {"松本", "ﾏﾂﾓﾄ"}, {"井上", "ｲﾉｳｴ"}, {"木村", "ｷﾑﾗ"}, {"林", "ﾊﾔｼ"},
    {"斎藤", "ｻｲﾄｳ"}, {"清水", "ｼﾐｽﾞ"}, {"山崎", "ﾔﾏｻﾞｷ"}, {"森", "ﾓﾘ"}, {"池田", "ｲｹﾀﾞ"}, {"橋本", "ﾊｼﾓﾄ"},
    {"阿部", "ｱﾍﾞ"}, {"石川", "ｲｼｶﾜ"}, {"山下", "ﾔﾏｼﾀ"}, {"中島", "ﾅｶｼﾞﾏ"}, {"石井", "ｲｼｲ"}, {"小川", "ｵｶﾞﾜ"},
    {"前田", "ﾏｴﾀﾞ"}, {"岡田", "ｵｶﾀﾞ"}, {"長谷川", "ﾊｾｶﾞﾜ"}, {"藤田", "ﾌｼﾞﾀ"}, {"後藤", "ｺﾞﾄｳ"}, {"近藤", "ｺﾝﾄﾞｳ"},
    {"村上", "ﾑﾗｶﾐ"}, {"遠藤", "ｴﾝﾄﾞｳ"}, {"青木", "ｱｵｷ"}, {"坂本", "ｻｶﾓﾄ"}, {"斉藤", "ｻｲﾄｳ"}, {"福田", "ﾌｸﾀﾞ"},
    {"太田", "ｵｵﾀ"}, {"西村", "ﾆｼﾑﾗ"}, {"藤井", "ﾌｼﾞｲ"}, {"金子", "ｶﾈｺ"}, {"岡本", "ｵｶﾓﾄ"}, {"藤原", "ﾌｼﾞﾜﾗ"},
    {"中野", "ﾅｶﾉ"}, {"三浦", "ﾐｳﾗ"}, {"原田", "ﾊﾗﾀﾞ"}, {"中川", "ﾅｶｶﾞﾜ"}, {"松田", "ﾏﾂﾀﾞ"}, {"竹内", "ﾀｹｳﾁ"},
    {"小野", "ｵﾉ"}, {"田村", "ﾀﾑﾗ"}, {"中山", "ﾅｶﾔﾏ"}, {"和田", "ﾜﾀﾞ"}, {"石田", "ｲｼﾀﾞ"}, {"森田", "ﾓﾘﾀ"}, {"上田", "ｳｴﾀﾞ"},
    {"原", "ﾊﾗ"}, {"柴田", "ｼﾊﾞﾀ"}, {"酒井", "ｻｶｲ"}, {"工藤", "ｸﾄﾞｳ"}, {"横山", "ﾖｺﾔﾏ"}, {"宮崎", "ﾐﾔｻﾞｷ"},
    {"宮本", "ﾐﾔﾓﾄ"}, {"内田", "ｳﾁﾀﾞ"}, {"高木", "ﾀｶｷﾞ"}, {"安藤", "ｱﾝﾄﾞｳ"}, {"島田", "ｼﾏﾀﾞ"},
};
constexpr NameAndReading kBoysNames[] = {
    {"翔太", "ｼｮｳﾀ"}, {"大輝", "ﾀﾞｲｷ"}, {"拓海", "ﾀｸﾐ"}, {"健太", "ｹﾝﾀ"}, {"蓮", "ﾚﾝ"}, {"悠真", "ﾕｳﾏ"}, {"陽翔", "ﾊﾙﾄ"},
    {"湊", "ﾐﾅﾄ"}, {"大和", "ﾔﾏﾄ"}, {"颯太", "ｿｳﾀ"}, {"海斗", "ｶｲﾄ"}, {"翼", "ﾂﾊﾞｻ"}, {"優斗", "ﾕｳﾄ"}, {"隼人", "ﾊﾔﾄ"},
    {"陸", "ﾘｸ"}, {"樹", "ｲﾂｷ"}, {"航", "ﾜﾀﾙ"}, {"蒼", "ｱｵｲ"}, {"瑛太", "ｴｲﾀ"}, {"悠人", "ﾊﾙﾄ"}, {"奏太", "ｶﾅﾀ"},
    {"陽太", "ﾖｳﾀ"}, {"律", "ﾘﾂ"}, {"大翔", "ﾋﾛﾄ"},
};
constexpr NameAndReading kMensNames[] = {
    {"亮", "ﾘｮｳ"}, {"誠", "ﾏｺﾄ"}, {"直樹", "ﾅｵｷ"}, {"浩二", "ｺｳｼﾞ"}, {"健一", "ｹﾝｲﾁ"}, {"隆", "ﾀｶｼ"}, {"博之", "ﾋﾛﾕｷ"},
    {"和也", "ｶｽﾞﾔ"}, {"達也", "ﾀﾂﾔ"}, {"康介", "ｺｳｽｹ"}, {"雄大", "ﾕｳﾀﾞｲ"}, {"太郎", "ﾀﾛｳ"}, {"一郎", "ｲﾁﾛｳ"},
    {"修", "ｵｻﾑ"}, {"茂", "ｼｹﾞﾙ"}, {"正樹", "ﾏｻｷ"}, {"智也", "ﾄﾓﾔ"}, {"大輔", "ﾀﾞｲｽｹ"}, {"聡", "ｻﾄｼ"}, {"翔", "ｼｮｳ"},
    {"徹", "ﾄｵﾙ"}, {"勝", "ﾏｻﾙ"}, {"義男", "ﾖｼｵ"}, {"秀樹", "ﾋﾃﾞｷ"},
};
constexpr NameAndReading kGirlsNames[] = {
    {"陽菜", "ﾋﾅ"}, {"結衣", "ﾕｲ"}, {"美咲", "ﾐｻｷ"}, {"桜", "ｻｸﾗ"}, {"葵", "ｱｵｲ"}, {"凛", "ﾘﾝ"}, {"結菜", "ﾕｲﾅ"},
    {"美羽", "ﾐｳ"}, {"彩花", "ｱﾔｶ"}, {"優花", "ﾕｳｶ"}, {"芽衣", "ﾒｲ"}, {"花音", "ｶﾉﾝ"}, {"莉子", "ﾘｺ"}, {"七海", "ﾅﾅﾐ"},
    {"杏", "ｱﾝ"}, {"紗希", "ｻｷ"}, {"楓", "ｶｴﾃﾞ"}, {"心春", "ｺﾊﾙ"}, {"美月", "ﾐﾂﾞｷ"}, {"遥", "ﾊﾙｶ"}, {"紬", "ﾂﾑｷﾞ"},
    {"澪", "ﾐｵ"}, {"咲良", "ｻｸﾗ"}, {"日葵", "ﾋﾏﾘ"},
};
constexpr NameAndReading kWomensNames[] = {
    {"真由", "ﾏﾕ"}, {"愛", "ｱｲ"}, {"舞", "ﾏｲ"}, {"恵", "ﾒｸﾞﾐ"}, {"裕子", "ﾕｳｺ"}, {"京子", "ｷｮｳｺ"}, {"直美", "ﾅｵﾐ"},
    {"由美", "ﾕﾐ"}, {"智子", "ﾄﾓｺ"}, {"久美子", "ｸﾐｺ"}, {"明美", "ｱｹﾐ"}, {"香織", "ｶｵﾘ"}, {"麻衣", "ﾏｲ"}, {"沙織", "ｻｵﾘ"},
    {"千尋", "ﾁﾋﾛ"}, {"美穂", "ﾐﾎ"}, {"彩", "ｱﾔ"}, {"詩織", "ｼｵﾘ"}, {"奈々", "ﾅﾅ"}, {"朋美", "ﾄﾓﾐ"}, {"洋子", "ﾖｳｺ"},
    {"幸子", "ｻﾁｺ"}, {"典子", "ﾉﾘｺ"}, {"和子", "ｶｽﾞｺ"},
};
constexpr Prefecture kPrefectures[47] = {
    {"北海道", {{{"札幌", "ｻｯﾎﾟﾛ"}, {"旭川", "ｱｻﾋｶﾜ"}, {"函館", "ﾊｺﾀﾞﾃ"}}}},
    {"青森県", {{{"青森", "ｱｵﾓﾘ"}, {"八戸", "ﾊﾁﾉﾍ"}, {"弘前", "ﾋﾛｻｷ"}}}},
    {"岩手県", {{{"盛岡", "ﾓﾘｵｶ"}, {"一関", "ｲﾁﾉｾｷ"}, {"花巻", "ﾊﾅﾏｷ"}}}},
    {"宮城県", {{{"仙台", "ｾﾝﾀﾞｲ"}, {"石巻", "ｲｼﾉﾏｷ"}, {"名取", "ﾅﾄﾘ"}}}},
    {"秋田県", {{{"秋田", "ｱｷﾀ"}, {"横手", "ﾖｺﾃ"}, {"大館", "ｵｵﾀﾞﾃ"}}}},
    {"山形県", {{{"山形", "ﾔﾏｶﾞﾀ"}, {"鶴岡", "ﾂﾙｵｶ"}, {"酒田", "ｻｶﾀ"}}}},
    {"福島県", {{{"福島", "ﾌｸｼﾏ"}, {"郡山", "ｺｵﾘﾔﾏ"}, {"会津", "ｱｲﾂﾞ"}}}},
    {"茨城県", {{{"水戸", "ﾐﾄ"}, {"土浦", "ﾂﾁｳﾗ"}, {"日立", "ﾋﾀﾁ"}}}},
    {"栃木県", {{{"宇都宮", "ｳﾂﾉﾐﾔ"}, {"小山", "ｵﾔﾏ"}, {"足利", "ｱｼｶｶﾞ"}}}},
    {"群馬県", {{{"前橋", "ﾏｴﾊﾞｼ"}, {"高崎", "ﾀｶｻｷ"}, {"太田", "ｵｵﾀ"}}}},
    {"埼玉県", {{{"川越", "ｶﾜｺﾞｴ"}, {"所沢", "ﾄｺﾛｻﾞﾜ"}, {"越谷", "ｺｼｶﾞﾔ"}}}},
    {"千葉県", {{{"千葉", "ﾁﾊﾞ"}, {"船橋", "ﾌﾅﾊﾞｼ"}, {"柏", "ｶｼﾜ"}}}},
    {"東京都", {{{"八王子", "ﾊﾁｵｳｼﾞ"}, {"町田", "ﾏﾁﾀﾞ"}, {"江戸川", "ｴﾄﾞｶﾞﾜ"}}}},
    {"神奈川県", {{{"横浜", "ﾖｺﾊﾏ"}, {"川崎", "ｶﾜｻｷ"}, {"相模原", "ｻｶﾞﾐﾊﾗ"}}}},
    {"新潟県", {{{"新潟", "ﾆｲｶﾞﾀ"}, {"長岡", "ﾅｶﾞｵｶ"}, {"上越", "ｼﾞｮｳｴﾂ"}}}},
    {"富山県", {{{"富山", "ﾄﾔﾏ"}, {"高岡", "ﾀｶｵｶ"}, {"魚津", "ｳｵﾂﾞ"}}}},
    {"石川県", {{{"金沢", "ｶﾅｻﾞﾜ"}, {"小松", "ｺﾏﾂ"}, {"加賀", "ｶｶﾞ"}}}},
    {"福井県", {{{"福井", "ﾌｸｲ"}, {"敦賀", "ﾂﾙｶﾞ"}, {"鯖江", "ｻﾊﾞｴ"}}}},
    {"山梨県", {{{"甲府", "ｺｳﾌ"}, {"都留", "ﾂﾙ"}, {"韮崎", "ﾆﾗｻｷ"}}}},
    {"長野県", {{{"長野", "ﾅｶﾞﾉ"}, {"松本", "ﾏﾂﾓﾄ"}, {"上田", "ｳｴﾀﾞ"}}}},
    {"岐阜県", {{{"岐阜", "ｷﾞﾌ"}, {"大垣", "ｵｵｶﾞｷ"}, {"多治見", "ﾀｼﾞﾐ"}}}},
    {"静岡県", {{{"静岡", "ｼｽﾞｵｶ"}, {"浜松", "ﾊﾏﾏﾂ"}, {"沼津", "ﾇﾏﾂﾞ"}}}},
    {"愛知県", {{{"名古屋", "ﾅｺﾞﾔ"}, {"豊橋", "ﾄﾖﾊｼ"}, {"岡崎", "ｵｶｻﾞｷ"}}}},
    {"三重県", {{{"津", "ﾂ"}, {"四日市", "ﾖｯｶｲﾁ"}, {"鈴鹿", "ｽｽﾞｶ"}}}},
    {"滋賀県", {{{"大津", "ｵｵﾂ"}, {"草津", "ｸｻﾂ"}, {"彦根", "ﾋｺﾈ"}}}},
    {"京都府", {{{"京都", "ｷｮｳﾄ"}, {"宇治", "ｳｼﾞ"}, {"舞鶴", "ﾏｲﾂﾞﾙ"}}}},
    {"大阪府", {{{"堺", "ｻｶｲ"}, {"豊中", "ﾄﾖﾅｶ"}, {"枚方", "ﾋﾗｶﾀ"}}}},
    {"兵庫県", {{{"神戸", "ｺｳﾍﾞ"}, {"姫路", "ﾋﾒｼﾞ"}, {"西宮", "ﾆｼﾉﾐﾔ"}}}},
    {"奈良県", {{{"奈良", "ﾅﾗ"}, {"橿原", "ｶｼﾊﾗ"}, {"生駒", "ｲｺﾏ"}}}},
    {"和歌山県", {{{"和歌山", "ﾜｶﾔﾏ"}, {"田辺", "ﾀﾅﾍﾞ"}, {"橋本", "ﾊｼﾓﾄ"}}}},
    {"鳥取県", {{{"鳥取", "ﾄｯﾄﾘ"}, {"米子", "ﾖﾅｺﾞ"}, {"倉吉", "ｸﾗﾖｼ"}}}},
    {"島根県", {{{"松江", "ﾏﾂｴ"}, {"出雲", "ｲｽﾞﾓ"}, {"浜田", "ﾊﾏﾀﾞ"}}}},
    {"岡山県", {{{"岡山", "ｵｶﾔﾏ"}, {"倉敷", "ｸﾗｼｷ"}, {"津山", "ﾂﾔﾏ"}}}},
    {"広島県", {{{"広島", "ﾋﾛｼﾏ"}, {"福山", "ﾌｸﾔﾏ"}, {"呉", "ｸﾚ"}}}},
    {"山口県", {{{"山口", "ﾔﾏｸﾞﾁ"}, {"下関", "ｼﾓﾉｾｷ"}, {"宇部", "ｳﾍﾞ"}}}},
    {"徳島県", {{{"徳島", "ﾄｸｼﾏ"}, {"阿南", "ｱﾅﾝ"}, {"鳴門", "ﾅﾙﾄ"}}}},
    {"香川県", {{{"高松", "ﾀｶﾏﾂ"}, {"丸亀", "ﾏﾙｶﾞﾒ"}, {"坂出", "ｻｶｲﾃﾞ"}}}},
    {"愛媛県", {{{"松山", "ﾏﾂﾔﾏ"}, {"今治", "ｲﾏﾊﾞﾘ"}, {"新居浜", "ﾆｲﾊﾏ"}}}},
    {"高知県", {{{"高知", "ｺｳﾁ"}, {"南国", "ﾅﾝｺｸ"}, {"四万十", "ｼﾏﾝﾄ"}}}},
    {"福岡県", {{{"福岡", "ﾌｸｵｶ"}, {"北九州", "ｷﾀｷｭｳｼｭｳ"}, {"久留米", "ｸﾙﾒ"}}}},
    {"佐賀県", {{{"佐賀", "ｻｶﾞ"}, {"唐津", "ｶﾗﾂ"}, {"鳥栖", "ﾄｽ"}}}},
    {"長崎県", {{{"長崎", "ﾅｶﾞｻｷ"}, {"佐世保", "ｻｾﾎﾞ"}, {"諫早", "ｲｻﾊﾔ"}}}},
    {"熊本県", {{{"熊本", "ｸﾏﾓﾄ"}, {"八代", "ﾔﾂｼﾛ"}, {"天草", "ｱﾏｸｻ"}}}},
    {"大分県", {{{"大分", "ｵｵｲﾀ"}, {"別府", "ﾍﾞｯﾌﾟ"}, {"中津", "ﾅｶﾂ"}}}},
    {"宮崎県", {{{"宮崎", "ﾐﾔｻﾞｷ"}, {"都城", "ﾐﾔｺﾉｼﾞｮｳ"}, {"延岡", "ﾉﾍﾞｵｶ"}}}},
    {"鹿児島県", {{{"鹿児島", "ｶｺﾞｼﾏ"}, {"霧島", "ｷﾘｼﾏ"}, {"鹿屋", "ｶﾉﾔ"}}}},
    {"沖縄県", {{{"那覇", "ﾅﾊ"}, {"沖縄", "ｵｷﾅﾜ"}, {"浦添", "ｳﾗｿｴ"}}}},
};

// Club name endings: two full-width characters, so that a club name (town of
// three kanji at most) leaves room for a team letter in 12 bytes.
constexpr NameAndReading kClubEndings[] = {
    {"ＳＣ", "ｴｽｼｰ"}, {"ＳＳ", "ｴｽｴｽ"}, {"水泳", "ｽｲｴｲ"}, {"ＳＴ", "ｴｽﾃｨｰ"}, {"ＡＣ", "ｴｰｼｰ"},
};

// The tables in CP932, encoded once: the generator then only copies bytes.
struct Encoded {
  std::string name;     // CP932
  std::string reading;  // CP932, half-width
};

struct Tables {
  std::vector<Encoded> family, boys, men, girls, women;
  std::vector<std::string> prefectureNames;
  std::vector<std::array<Encoded, 3>> cities;  // per prefecture
  std::vector<Encoded> clubEndings;
  std::string nameSpace;                       // the full-width blank between family and given name
  std::array<std::string, 10> teamLetters;     // "Ａ" … "Ｊ"
};

Encoded Encode(const NameAndReading& n) { return Encoded{EncodeCp932(n.name), EncodeCp932(n.reading)}; }

std::vector<Encoded> EncodeAll(std::span<const NameAndReading> names) {
  std::vector<Encoded> out;
  out.reserve(names.size());
  for (const auto& n : names) out.push_back(Encode(n));
  return out;
}

const Tables& EncodedTables() {
  static const Tables tables = [] {
    Tables t;
    t.family = EncodeAll(kFamilyNames);
    t.boys = EncodeAll(kBoysNames);
    t.men = EncodeAll(kMensNames);
    t.girls = EncodeAll(kGirlsNames);
    t.women = EncodeAll(kWomensNames);
    for (const auto& p : kPrefectures) {
      t.prefectureNames.push_back(EncodeCp932(p.name));
      t.cities.push_back({Encode(p.cities[0]), Encode(p.cities[1]), Encode(p.cities[2])});
    }
    t.clubEndings = EncodeAll(kClubEndings);
    t.nameSpace = EncodeCp932("　");
    const char* letters[] = {"Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ", "Ｉ", "Ｊ"};
    for (size_t k = 0; k < t.teamLetters.size(); ++k) t.teamLetters[k] = EncodeCp932(letters[k]);
    return t;
  }();
  return tables;
}

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsVoicingMark(uint8_t b) { return b == 0xDE || b == 0xDF; }  // half-width ﾞ ﾟ

// CP932 bytes cut to `width` without splitting a double-byte character, and
// without leaving a half-width kana whose voicing mark would be cut off.
std::string CutBytes(const std::string& bytes, size_t width) {
  size_t end = 0, previous = 0;
  while (end < bytes.size()) {
    size_t n = IsLeadByte(static_cast<uint8_t>(bytes[end])) ? 2 : 1;
    if (end + n > width) break;
    previous = end;
    end += n;
  }
  if (end < bytes.size() && end > 0 && IsVoicingMark(static_cast<uint8_t>(bytes[end])) && end - previous == 1)
    end = previous;
  return bytes.substr(0, end);
}

// The field's bytes: cut, then blank-filled to the width.
std::string Filled(const std::string& bytes, size_t width) {
  std::string field = CutBytes(bytes, width);
  field.resize(width, ' ');
  return field;
}

// ---------------------------------------------------------------------------
// Dates. Ages and school years are counted on the first meet day; the school
// year starts on 1 April, and a child born on 1 April belongs to the year
// before those born on 2 April.

using std::chrono::sys_days;
using std::chrono::year_month_day;

year_month_day YearsBefore(const year_month_day& d, int years) {
  year_month_day back{d.year() - std::chrono::years{years}, d.month(), d.day()};
  if (!back.ok()) back = year_month_day{back.year() / back.month() / std::chrono::last};  // 29 February
  return back;
}

int Year(const year_month_day& d) { return static_cast<int>(d.year()); }
int MonthDay(const year_month_day& d) {
  return static_cast<int>(static_cast<unsigned>(d.month()) * 100 + static_cast<unsigned>(d.day()));
}
std::string Digits8(const year_month_day& d) { return ZeroPadded(Year(d) * 10000 + MonthDay(d), 8); }
std::string Slashed(const year_month_day& d) {
  return ZeroPadded(Year(d), 4) + "/" + ZeroPadded(MonthDay(d) / 100, 2) + "/" + ZeroPadded(MonthDay(d) % 100, 2);
}

// A birth date giving exactly `age` years on `meetDay`.
year_month_day BirthDate(const year_month_day& meetDay, int age, Random& rng) {
  sys_days latest{YearsBefore(meetDay, age)};
  sys_days earliest = sys_days{YearsBefore(meetDay, age + 1)} + std::chrono::days{1};
  int span = static_cast<int>((latest - earliest).count()) + 1;
  return year_month_day{earliest + std::chrono::days{rng.Below(span)}};
}

// School years since entering elementary school: 1–6 小, 7–9 中, 10–12 高,
// 13–16 大, 0 or less pre-school, 17 and more grown up.
int SchoolYear(const year_month_day& birth, const year_month_day& meetDay) {
  int schoolYearOfMeet = MonthDay(meetDay) >= 401 ? Year(meetDay) : Year(meetDay) - 1;
  int cohort = MonthDay(birth) >= 402 ? Year(birth) : Year(birth) - 1;
  return schoolYearOfMeet - cohort - 6;
}

enum Level { kElementary, kJuniorHigh, kHighSchool, kUniversity, kAdult };

Level LevelOf(int schoolYear) {
  if (schoolYear <= 6) return kElementary;
  if (schoolYear <= 9) return kJuniorHigh;
  if (schoolYear <= 12) return kHighSchool;
  if (schoolYear <= 16) return kUniversity;
  return kAdult;
}

// ---------------------------------------------------------------------------
// Class codes.
//
// Scheme 0: pre-school 06–08 (年少, 年中, 年長), 11–16 小1–小6, 21–23 中1–中3,
// 31–33 高1–高3, 41–44 大1–大4; grown-ups by age, 51 Ａ (under 25), then one
// letter per five years, 52 Ｂ (25–29) … 61 Ｋ (70–74). Adult relay teams by
// the sum of their ages, 75 (90–119) … 81 (320 and over).
//
// Scheme 2 (this meet's own codes): by age, 51 Ｕ1 … 73 Ｃ8 (63, which shares
// its name with 62, is left out); adult relay teams by the sum of ages,
// 74 Ｂ1 (under 120), 75 Ｂ2 (120–159), 76 Ｂ3 (160–199), 77 Ｄ (200 and over).

int SchemeZeroCode(int schoolYear, int age) {
  if (schoolYear <= -2) return 6;
  if (schoolYear <= 0) return 8 + schoolYear;
  if (schoolYear <= 6) return 10 + schoolYear;
  if (schoolYear <= 9) return 20 + schoolYear - 6;
  if (schoolYear <= 12) return 30 + schoolYear - 9;
  if (schoolYear <= 16) return 40 + schoolYear - 12;
  return 51 + std::clamp((age - 20) / 5, 0, 10);
}

struct AgeBand {
  int code;
  int oldest;  // the band holds ages up to this one
};
constexpr AgeBand kSchemeTwoBands[] = {
    {51, 7},  {52, 9},  {53, 11}, {54, 13}, {55, 14}, {56, 15}, {57, 16}, {58, 17},
    {59, 18}, {60, 20}, {61, 22}, {62, 24}, {64, 29}, {65, 34}, {66, 39}, {67, 44},
    {68, 49}, {69, 54}, {70, 59}, {71, 64}, {72, 69}, {73, 200},
};

int SchemeTwoCode(int age) {
  for (const auto& band : kSchemeTwoBands)
    if (age <= band.oldest) return band.code;
  return 73;
}

int SwimmerClass(int scheme, int schoolYear, int age) {
  return scheme == 2 ? SchemeTwoCode(age) : SchemeZeroCode(schoolYear, age);
}

int AdultTeamClass(int scheme, int ageSum, int oldestMemberClass) {
  if (scheme == 2) return ageSum < 120 ? 74 : ageSum < 160 ? 75 : ageSum < 200 ? 76 : 77;
  if (ageSum < 90) return oldestMemberClass;
  if (ageSum < 120) return 75;
  return std::min(81, 76 + (ageSum - 120) / 40);
}

// ---------------------------------------------------------------------------
// Events and entry times.

constexpr int kOwnIndividualEvent = 30;  // slot 0 of record 2: 50mキック, elementary only
constexpr int kOwnRelayEvent = 31;       // slot 1: 200m混合リレー, mixed teams

struct IndividualEvent {
  int code;
  int32_t base;  // hundredths of a second, a good club-level man in a long-course pool
  int youngest, oldest;
  bool shortCourseOnly;  // 25 m races and the 100m個人メドレー need a 25 m pool
  int weight;            // how often it is chosen
};

constexpr IndividualEvent kIndividualEvents[] = {
    {1, 1250, 6, 12, true, 3},    {2, 2500, 6, 99, false, 10},  {3, 5500, 7, 99, false, 8},
    {4, 12000, 9, 99, false, 4},  {5, 25500, 10, 99, false, 2}, {6, 53000, 11, 99, false, 1},
    {7, 102000, 12, 99, false, 1}, {8, 1450, 6, 12, true, 3},   {9, 2900, 6, 99, false, 6},
    {10, 6200, 8, 99, false, 6},  {11, 13500, 10, 99, false, 2}, {12, 1600, 6, 12, true, 3},
    {13, 3150, 6, 99, false, 6},  {14, 6800, 8, 99, false, 6},  {15, 15000, 10, 99, false, 2},
    {16, 1350, 6, 12, true, 3},   {17, 2700, 7, 99, false, 6},  {18, 5900, 9, 99, false, 5},
    {19, 13500, 11, 99, false, 1}, {20, 6200, 8, 99, true, 3},  {21, 13500, 9, 99, false, 3},
    {22, 29000, 11, 99, false, 1}, {kOwnIndividualEvent, 4000, 6, 12, false, 4},
};

struct RelayEvent {
  int code;
  int32_t base;  // hundredths, a good club-level men's team
  int youngest;  // the youngest member's age at least
  bool shortCourseOnly;
};

constexpr RelayEvent kRelayEvents[] = {
    {23, 5800, 6, true},    {24, 11500, 6, false}, {25, 24500, 9, false}, {26, 5100, 6, true},
    {27, 10300, 6, false},  {28, 22800, 9, false}, {29, 49500, 12, false},
};
constexpr int32_t kOwnRelayBase = 10800;

constexpr int32_t kNoTime = 999999;

// How much slower than the reference a man of this age swims, per mille.
int AgeFactor(int age) {
  struct Point {
    int age, factor;
  };
  static constexpr Point points[] = {{6, 2300},  {8, 1900},  {10, 1600}, {12, 1350}, {14, 1180},
                                     {16, 1080}, {18, 1030}, {20, 1000}, {28, 1000}, {35, 1060},
                                     {45, 1140}, {55, 1250}, {65, 1420}, {70, 1550}};
  age = std::clamp(age, points[0].age, std::end(points)[-1].age);
  for (size_t k = 1; k < std::size(points); ++k) {
    if (age <= points[k].age) {
      const Point& a = points[k - 1];
      const Point& b = points[k];
      return a.factor + (b.factor - a.factor) * (age - a.age) / (b.age - a.age);
    }
  }
  return std::end(points)[-1].factor;
}

// Women against men of the same age, per mille: close as children, about 11 % later on.
int SexFactor(char sex, int age) {
  if (sex == '1') return 1000;
  int women = age <= 11 ? 1030 : age >= 14 ? 1110 : 1030 + (age - 11) * 27;
  return sex == '2' ? women : (1000 + women) / 2;
}

int32_t TimeCodeOf(int64_t hundredths) {
  hundredths = std::clamp<int64_t>(hundredths, 1, 595899);  // below the 参加 codes
  int64_t minutes = hundredths / 6000;
  int64_t rest = hundredths % 6000;
  return static_cast<int32_t>(minutes * 10000 + rest);
}

// base × the factors (each per mille).
int64_t Scaled(int64_t base, std::initializer_list<int> factors) {
  for (int f : factors) base = base * f / 1000;
  return base;
}

// ---------------------------------------------------------------------------
// The file being built.

struct Club {
  int prefecture = 1;  // 1..47
  int code = 0;        // 3 digits within the prefecture
  std::string name;    // CP932
  std::string reading;
};

struct Swimmer {
  char sex = '1';
  int age = 0;
  int schoolYear = 0;
  int classCode = 0;
};

class SampleBuilder {
 public:
  SampleBuilder(const SampleOptions& options, const year_month_day& meetDay)
      : options_(options), meetDay_(meetDay), rng_(options.seed), tables_(EncodedTables()) {
    bytes_.reserve((static_cast<size_t>(options.swimmers) * 5 / 4 + 16 + L::kFirstEntryRecord) * L::kRecordLength);
    bytes_.assign((L::kFirstEntryRecord - 1) * L::kRecordLength, '\0');  // records 1–10, filled at the end
    clubCodes_.fill(100);
    serials_.fill(0);
  }

  std::string Build(SampleSummary* summary) {
    int hostPrefecture = rng_.Between(1, 47);
    const Encoded& hostCity = tables_.cities[static_cast<size_t>(hostPrefecture - 1)][static_cast<size_t>(rng_.Below(3))];
    int made = 0;
    while (made < options_.swimmers) made += MakeClub(options_.swimmers - made);
    WriteHeader(hostPrefecture, DecodeCp932(hostCity.name));
    WriteEvents();
    if (summary) {
      summary->entries = entries_;
      summary->relayTeams = relayTeams_;
    }
    return std::move(bytes_);
  }

 private:
  void WriteHeader(int hostPrefecture, const std::string& hostCity) {
    EntryHeader h;
    h.entryCount = entries_;
    h.entryCourse = static_cast<int16_t>(options_.course);
    h.entryCreated = Slashed(meetDay_);
    int month = MonthDay(meetDay_) / 100;
    const char* season = month >= 3 && month <= 5 ? "春季" : month >= 6 && month <= 8 ? "夏季"
                         : month >= 9 && month <= 11 ? "秋季" : "冬季";
    h.entryMeetAbbrev = CutToWidth(std::string(season) + "大会", 8);
    h.entryVenue = CutToWidth(hostCity + "プール", 12);
    year_month_day secondDay{sys_days{meetDay_} + std::chrono::days{1}};
    h.entryDateFrom = Slashed(meetDay_);
    h.entryDateTo = Slashed(secondDay);
    h.entryMeetCode = ZeroPadded(hostPrefecture, 2) + ZeroPadded(Year(meetDay_) % 100, 2) + ZeroPadded(month, 2) +
                      ZeroPadded(rng_.Between(1, 9), 1);
    h.classScheme = static_cast<int16_t>(options_.scheme);
    h.entryDays[0] = Year(meetDay_) * 10000 + MonthDay(meetDay_);
    h.entryDays[1] = Year(secondDay) * 10000 + MonthDay(secondDay);
    bytes_.replace(0, L::kRecordLength, RecordFromEntryHeader(h).bytes());
  }

  void WriteEvents() {
    EventDefinitions d;
    d.extraRelayFlags.fill(' ');  // blank: the event is not defined
    d.extraClassNames[0] = CutToWidth("小学生", L::kExtraClassNameWidth);
    d.extraEventNames[0] = CutToWidth("50mキック", L::kExtraEventNameWidth);
    d.extraRelayFlags[0] = '0';
    d.extraClassNames[1] = CutToWidth("一般", L::kExtraClassNameWidth);
    d.extraEventNames[1] = CutToWidth("200m混合リレー", L::kExtraEventNameWidth);
    d.extraRelayFlags[1] = '1';
    bytes_.replace(static_cast<size_t>(L::kEventRecord - 1) * L::kRecordLength, L::kRecordLength,
                   RecordFromEventDefinitions(d).bytes());
  }

  // A new club in some prefecture, with at most `room` swimmers, and its
  // relay teams right after them. Returns the swimmers made.
  int MakeClub(int room) {
    Club club = NewClub();
    bool masters = rng_.PerMille(250);
    int size = std::min(room, masters ? rng_.Between(5, 25) : rng_.Between(8, 40));
    std::vector<Swimmer> swimmers;
    std::vector<std::string> births;  // regNo birth dates given in this club
    swimmers.reserve(static_cast<size_t>(size));
    births.reserve(static_cast<size_t>(size));
    for (int k = 0; k < size; ++k) {
      Swimmer s;
      s.sex = rng_.PerMille(500) ? '1' : '2';
      s.age = masters ? rng_.Between(23, 70) : rng_.Between(6, 22);
      year_month_day birth = BirthDate(meetDay_, s.age, rng_);
      s.schoolYear = SchoolYear(birth, meetDay_);
      s.classCode = SwimmerClass(options_.scheme, s.schoolYear, s.age);
      std::string born = Digits8(birth);
      // The last character tells apart club mates born on the same day.
      int twins = static_cast<int>(std::count(births.begin(), births.end(), born));
      births.push_back(born);
      AddSwimmer(club, s, born + static_cast<char>('0' + std::min(twins, 9)));
      swimmers.push_back(s);
    }
    AddRelayTeams(club, swimmers);
    return size;
  }

  Club NewClub() {
    Club club;
    club.prefecture = rng_.Between(1, 47);
    // Club codes rise within a prefecture; a prefecture whose codes are used
    // up passes the club on to the next one.
    while (clubCodes_[static_cast<size_t>(club.prefecture)] > 990) club.prefecture = club.prefecture % 47 + 1;
    int& last = clubCodes_[static_cast<size_t>(club.prefecture)];
    last += rng_.Between(1, 4);
    club.code = last;
    const Encoded& town = tables_.cities[static_cast<size_t>(club.prefecture - 1)][static_cast<size_t>(rng_.Below(3))];
    const Encoded& ending = rng_.Pick(tables_.clubEndings);
    club.name = town.name + ending.name;
    club.reading = town.reading + ending.reading;
    return club;
  }

  Entry NewEntry(const Club& club, char sex, int age, int classCode, const std::string& regTail) {
    Entry e;
    e.entryNo = entries_ + 1;
    int& serial = serials_[static_cast<size_t>(club.prefecture)];
    ++serial;
    e.entryCode7 = ZeroPadded(club.prefecture, 2) + ZeroPadded(serial, 5);
    e.regNo = ZeroPadded(club.prefecture, 2) + ZeroPadded(club.code, 3) + regTail;
    e.gradeCode = RightAligned(classCode, 2);  // " 8" 年長: a code below 10 is right-aligned
    e.age = ClampToInt16(age);
    e.sexCode = std::string(1, sex);
    e.entryText6c = ZeroPadded(rng_.Below(1000000), 6);
    return e;
  }

  // The record of an entry: numbers and plain texts through the entry
  // layout, the Japanese texts as their ready CP932 bytes.
  void Append(const Entry& e, const Club& club, const std::string& name, const std::string& reading) {
    Record r = RecordFromEntry(e);
    r.SetRaw(L::kSwimmerName, kSwimmerNameWidth, Filled(name, kSwimmerNameWidth));
    r.SetRaw(L::kSwimmerKana, kSwimmerKanaWidth, Filled(reading, kSwimmerKanaWidth));
    r.SetRaw(L::kPrefName, kPrefNameWidth,
             Filled(tables_.prefectureNames[static_cast<size_t>(club.prefecture - 1)], kPrefNameWidth));
    r.SetRaw(L::kAffiliation, kAffiliationWidth, Filled(club.name, kAffiliationWidth));
    bytes_ += r.bytes();
    ++entries_;
  }

  void AddSwimmer(const Club& club, const Swimmer& s, const std::string& regTail) {
    Entry e = NewEntry(club, s.sex, s.age, s.classCode, regTail);
    const Encoded& family = rng_.Pick(tables_.family);
    bool male = s.sex == '1';
    bool modern = s.age <= 30 || (s.age < 45 && rng_.PerMille(500));
    const Encoded& given = rng_.Pick(male ? (modern ? tables_.boys : tables_.men) : (modern ? tables_.girls : tables_.women));

    // The events: one to five of those that suit the age and the pool.
    std::vector<const IndividualEvent*> open;
    for (const auto& ev : kIndividualEvents) {
      if (s.age < ev.youngest || s.age > ev.oldest) continue;
      if (ev.shortCourseOnly && options_.course != 1) continue;
      if (ev.code == kOwnIndividualEvent && (s.schoolYear < 1 || s.schoolYear > 6)) continue;  // 小1–小6
      open.push_back(&ev);
    }
    static constexpr int countWeights[] = {20, 30, 25, 15, 10};  // 1 … 5 events
    int wanted = 1;
    int countRoll = rng_.Below(100);
    while (countRoll >= countWeights[wanted - 1]) {
      countRoll -= countWeights[wanted - 1];
      ++wanted;
    }
    int skill = rng_.Between(1000, 1300);
    for (int k = 0; k < wanted && !open.empty(); ++k) {
      int total = 0;
      for (const auto* ev : open) total += ev->weight;
      int roll = rng_.Below(total);
      size_t at = 0;
      while (roll >= open[at]->weight) roll -= open[at++]->weight;
      const IndividualEvent& ev = *open[at];
      open.erase(open.begin() + static_cast<std::ptrdiff_t>(at));
      int32_t time = rng_.PerMille(20) ? kNoTime
                                       : TimeCodeOf(Scaled(ev.base, {AgeFactor(s.age), SexFactor(s.sex, s.age), skill,
                                                                     rng_.Between(970, 1060), CourseFactor()}));
      e.entryTimes[static_cast<size_t>(ev.code - 1)] = time;
    }
    Append(e, club, family.name + tables_.nameSpace + given.name, family.reading + " " + given.reading);
  }

  int CourseFactor() const { return options_.course == 1 ? 985 : 1000; }

  // Teams of four from club mates of one sex and one school level (two
  // teams at most per level), and one mixed team of grown-ups.
  void AddRelayTeams(const Club& club, const std::vector<Swimmer>& swimmers) {
    for (char sex : {'1', '2'}) {
      int letter = 0;
      for (int level = kElementary; level <= kAdult; ++level) {
        std::vector<const Swimmer*> group;
        for (const auto& s : swimmers)
          if (s.sex == sex && LevelOf(s.schoolYear) == level) group.push_back(&s);
        for (size_t first = 0; first + 4 <= group.size() && first < 8; first += 4) {
          std::vector<const Swimmer*> members(group.begin() + static_cast<std::ptrdiff_t>(first),
                                              group.begin() + static_cast<std::ptrdiff_t>(first + 4));
          AddTeam(club, sex, letter++, static_cast<Level>(level), members);
        }
      }
    }
    std::vector<const Swimmer*> men, women;
    for (const auto& s : swimmers) {
      if (LevelOf(s.schoolYear) != kAdult) continue;
      auto& side = s.sex == '1' ? men : women;
      if (side.size() < 2) side.push_back(&s);
    }
    if (men.size() == 2 && women.size() == 2) AddTeam(club, '3', 0, kAdult, {men[0], men[1], women[0], women[1]});
  }

  void AddTeam(const Club& club, char sex, int letter, Level level, const std::vector<const Swimmer*>& members) {
    int oldest = 0, youngest = 200, ageSum = 0, topClass = 0;
    for (const Swimmer* m : members) {
      oldest = std::max(oldest, m->age);
      youngest = std::min(youngest, m->age);
      ageSum += m->age;
      topClass = std::max(topClass, m->classCode);
    }
    // Grown-up teams swim in classes of their summed ages; school teams in the class of their oldest.
    bool summed = level == kAdult && (options_.scheme == 2 || ageSum >= 90);
    int classCode = level == kAdult ? AdultTeamClass(options_.scheme, ageSum, topClass) : topClass;
    int age = summed ? ageSum : oldest;
    letter = std::min(letter, static_cast<int>(tables_.teamLetters.size()) - 1);
    char letterAscii = static_cast<char>('A' + letter);
    Entry e = NewEntry(club, sex, age, classCode, std::string(8, '0') + letterAscii);

    std::vector<std::pair<int, int32_t>> open;  // event code, base
    if (sex == '3') {
      open.emplace_back(kOwnRelayEvent, kOwnRelayBase);
    } else {
      for (const auto& ev : kRelayEvents) {
        if (youngest < ev.youngest) continue;
        if (ev.shortCourseOnly && options_.course != 1) continue;
        open.emplace_back(ev.code, ev.base);
      }
    }
    int wanted = std::min(static_cast<int>(open.size()), rng_.Between(1, 3));
    int skill = rng_.Between(1000, 1250);
    int averageAge = ageSum / static_cast<int>(members.size());
    for (int k = 0; k < wanted; ++k) {
      size_t at = static_cast<size_t>(rng_.Below(static_cast<int>(open.size())));
      auto [code, base] = open[at];
      open.erase(open.begin() + static_cast<std::ptrdiff_t>(at));
      int32_t time = rng_.PerMille(30) ? kNoTime
                                       : TimeCodeOf(Scaled(base, {AgeFactor(averageAge), SexFactor(sex, averageAge), skill,
                                                                  rng_.Between(980, 1040), CourseFactor()}));
      e.entryTimes[static_cast<size_t>(code - 1)] = time;
    }
    std::string reading = CutBytes(club.reading, kTeamKanaStem) + " " + letterAscii;
    Append(e, club, club.name + tables_.teamLetters[static_cast<size_t>(letter)], reading);
    ++relayTeams_;
  }

  const SampleOptions& options_;
  year_month_day meetDay_;
  Random rng_;
  const Tables& tables_;
  std::string bytes_;
  int32_t entries_ = 0;
  int32_t relayTeams_ = 0;
  std::array<int, 48> clubCodes_{};  // last club code given, per prefecture 1..47
  std::array<int, 48> serials_{};    // entry codes given, per prefecture
};

}  // namespace

Status CheckSampleOptions(const SampleOptions& options) {
  if (options.swimmers < 0 || options.swimmers > kMaxSampleSwimmers)
    return Fail(ErrorKind::Invalid, "スイマー数は 0 から " + NumberText(kMaxSampleSwimmers) + " までです: " +
                                        NumberText(options.swimmers));
  if (options.scheme != 0 && options.scheme != 2)
    return Fail(ErrorKind::Invalid, "学年区分の方式は 0 か 2 です: " + NumberText(options.scheme));
  if (options.course != 0 && options.course != 1)
    return Fail(ErrorKind::Invalid, "コースは 0（長水路）か 1（短水路）です: " + NumberText(options.course));
  return {};
}

Result<std::string> SampleEntryFileBytes(const SampleOptions& options, const DateTime& today, SampleSummary* summary) {
  if (auto ok = CheckSampleOptions(options); !ok) return std::unexpected(ok.error());
  year_month_day meetDay{std::chrono::year{today.year}, std::chrono::month{static_cast<unsigned>(today.month)},
                         std::chrono::day{static_cast<unsigned>(today.day)}};
  if (!meetDay.ok() || today.year < 1900 || today.year > 9000 || today.month < 1 || today.day < 1)
    return Fail(ErrorKind::Invalid, "日付が正しくありません: " + DateSlashed(today));
  return SampleBuilder(options, meetDay).Build(summary);
}

Result<SampleSummary> WriteSampleEntryFile(const std::filesystem::path& path, const SampleOptions& options,
                                           const DateTime& today) {
  SampleSummary summary;
  auto bytes = SampleEntryFileBytes(options, today, &summary);
  if (!bytes) return std::unexpected(bytes.error());
  if (auto ok = WriteWholeFile(path, *bytes); !ok) return std::unexpected(ok.error());
  return summary;
}

}  // namespace meet
