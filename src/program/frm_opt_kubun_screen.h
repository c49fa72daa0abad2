// The optional categories screen frmOptKubun ("種目区分(オプション)") without
// its widgets: the list lstKubun of the categories in optkubun.dat, the
// selected position in lblKazu, the fields of one category, "追加" in catFrom
// order, "修正", "削除" and the three presets. The screen and meetctl's
// `categories` verbs call these methods.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/platform.h"
#include "data/optional_categories.h"

namespace meet {

inline constexpr const char* kOptKubunCaption = "種目区分(オプション)";
inline constexpr const char* kOptKubunHeading = "性  区分(年齢･学年) 種目(個1-22リ23-29)     区分名";
inline constexpr const char* kTipSei = "1･男 2･女 3･混合 4･男女共";
inline constexpr const char* kTipShu = "1～25m自由形 23～100mﾒﾄﾞﾚｰﾘﾚｰ";
inline constexpr const char* kTipTitle = "\"T\"･･･タイトル表示のみ";
inline constexpr const char* kNoCategorySelected = "該当データを指定してください。";
inline constexpr std::array<const char*, 3> kPresetCaptions = {"中国室内", "ＪＯ予選", "マスターズ"};

// The categories a preset writes.
std::vector<OptionalCategory> PresetCategories(int preset);

// The question a preset asks before it replaces `replaced` categories: the
// preset's name and every category it makes (bounds and name).
std::string PresetQuestion(int preset, int replaced);

// A line of lstKubun: sex digit and title flag, " | ", the bounds joined by
// "  ->  ", " |  ", the event codes joined by "  ->  ", " | ", the name.
std::string CategoryLine(const OptionalCategory& category);

// The screen's fields of one category, as typed.
struct CategoryFields {
  std::string txtSei;
  std::array<std::string, 2> txtAge;  // catFrom, catTo
  std::array<std::string, 2> txtShu;  // catEventFrom, catEventTo
  std::string txtKubun;
  std::string txtTitle;
};

class FrmOptKubunScreen {
 public:
  FrmOptKubunScreen(std::filesystem::path meetFolder, Platform& platform);

  // Opening: fills the list. A file whose count does not fit its size is
  // listed as far as it holds categories and the operator is told; it can
  // then only be replaced by a preset.
  Status Open();
  // Selecting line `index` (from 0) shows the category and its position.
  Status Select(int index);

  Status cmdTuika();   // 追加
  Status cmdShusei();  // 修正
  Status cmdSakujo();  // 削除
  // A preset; over categories on file it asks first (PresetQuestion).
  Status cmdShoki(int preset);

  CategoryFields fields;

  const std::vector<OptionalCategory>& categories() const { return categories_; }
  const std::vector<std::string>& lstKubun() const { return lstKubun_; }
  int selected() const { return selected_; }  // -1: none
  std::string lblKazu() const;
  bool damaged() const { return damaged_; }

 private:
  Result<OptionalCategory> FromFields(const OptionalCategory& base);
  Status Reload();
  Status CheckUsable() const;
  // Writes categories 1..K (records 2..K + 1) and the header's count; other
  // bytes of the file stay as they are.
  Status WriteCategories(const std::vector<OptionalCategory>& categories);

  std::filesystem::path meetFolder_;
  Platform& platform_;
  std::vector<OptionalCategory> categories_;
  std::vector<std::string> lstKubun_;
  int selected_ = -1;
  bool damaged_ = false;
  std::string damage_;
};

}  // namespace meet
