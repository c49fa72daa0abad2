// The page screen frmMkPage ("ページ調整") without its widgets: the page list
// lstIchiran, the shown page in txtPage and txtRace(0..8), and one method per
// command. Every command reads hpro.dat, changes it and writes it back before
// it returns; between commands only the page count, the shown page and the
// box texts are held.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/naming.h"
#include "core/platform.h"
#include "print/hpro_file.h"
#include "settings/settings.h"

namespace meet {

inline constexpr const char* kMkPageCaption = "ページ調整";
inline constexpr const char* kMkPageListTitle = "ページ一覧";
inline constexpr int kPageBoxes = 8;  // txtRace(1..8); txtRace(0) shows slotCount

enum class BoxKey { Up, Down, Left, Right };

// The box an arrow key moves to from box k (1..8): Up/Down by one within
// 1..8, Left −4 from boxes 5..8, Right +4 from boxes 1..4; k itself when the
// key does not move.
int BoxAfterKey(int k, BoxKey key);

class FrmMkPageScreen {
 public:
  FrmMkPageScreen(std::filesystem::path meetFolder, Settings settings, Platform& platform);

  // Reads pageCount, shows page 1 (none when there are no pages), builds the list.
  Status Open();

  const std::vector<std::string>& lines() const { return lines_; }
  int pageCount() const { return pageCount_; }
  // The shown page, 1..pageCount, or 0 when the file has no pages.
  int page() const { return page_; }
  // The list line of the shown page, -1 when none.
  int selectedLine() const { return page_ - 1; }
  // txtPage: page, " / ", pageCount.
  std::string txtPage() const;
  // txtRace(0..8) as the operator sees them.
  std::array<std::string, kPageBoxes + 1>& txtRace() { return txtRace_; }
  const std::array<std::string, kPageBoxes + 1>& txtRace() const { return txtRace_; }

  // A click on list line `line` (from 0) shows that page.
  Status SelectLine(int line);
  // Shows page p (1..pageCount); anything else is refused and nothing changes.
  Status ShowPage(int p);

  // Enter in txtRace(k), k 1..8, with the caret after `caret` characters: the
  // box keeps its text before the caret; the eight boxes are read as race
  // numbers (0..32757), the page is rewritten with them and shown again with
  // the list. Gives the box that gets the focus next (k + 1, or 8 after box 8).
  // A number outside 0..32757, or no page shown, is refused and writes nothing.
  Result<int> RaceEnter(int k, int caret);

  // 挿入: an empty page before the shown page (page 1 when there is none).
  Status Sohnyu();
  // The same before page s, 1..pageCount + 1 (pageCount + 1 appends).
  Status SohnyuAt(int s);
  // 削除: deletes the shown page.
  Status Sakujo();
  // 印刷: the list lines on the printer, with the meet's name and the title
  // over each printed page; gives the number of lines printed.
  Result<int> Insatu();

  const std::filesystem::path& meetFolder() const { return meetFolder_; }

 private:
  // Reads the page file and the race file, rebuilds the list and shows page p
  // (clamped to 1..pageCount, 0 when there are no pages).
  Status Refresh(int p);
  void ShowBoxes(const ProgramPage& page);

  std::filesystem::path meetFolder_;
  Settings settings_;
  Platform& platform_;
  NamingContext naming_;

  int pageCount_ = 0;
  int page_ = 0;
  std::vector<std::string> lines_;
  std::array<std::string, kPageBoxes + 1> txtRace_;
};

}  // namespace meet
