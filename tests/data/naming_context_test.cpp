#include "data/naming_context.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace meet {
namespace {

using test::Le16;
using test::Le32;
using test::Sjis;

constexpr size_t kLen = 384;

// An entry file with a header of the given class scheme and record 2 naming
// event 31 (slot 1).
std::string EntryFileBytes(int scheme) {
  std::string header = Le32(0) + Le16(0) + std::string(57, ' ') + Le16(scheme);
  header.resize(kLen, '\0');
  std::string events;
  for (int k = 0; k < 15; ++k) events += k == 1 ? Sjis("一般", 8) : std::string(8, '\0');
  for (int k = 0; k < 15; ++k) events += k == 1 ? Sjis("水中ウォーク", 16) : std::string(16, '\0');
  events += std::string(15, '0');
  events.resize(kLen, '\0');
  return header + events;
}

std::string CategoryFile() {
  return Le16(1) + std::string(30, '\0') + "4" + Le16(9) + Le16(10) + Le16(1) + Le16(22) + Sjis("9-10歳", 12) + " " +
         std::string(10, '\0');
}

struct Meet {
  test::TempDir entryDir, meetDir;
  Settings settings;
  Meet() {
    test::WriteFile(entryDir / "Haru.Mos", EntryFileBytes(2));
    test::WriteFile(meetDir / "optkubun.dat", CategoryFile());
    settings.entryFolder = entryDir.str();
    settings.entryFileName = "haru.mos";  // found whatever its letter case
    settings.classMode = "1";
    settings.optionalCategories = "1";
  }
};

TEST(LoadNamingContext, TakesTheMeetEventsAndSchemeFromTheEntryFile) {
  Meet meet;
  NamingContext ctx = LoadNamingContext(meet.settings, meet.meetDir.str());
  EXPECT_EQ(ctx.classScheme, 2);
  EXPECT_EQ(ctx.extraEventNames[1], "水中ウォーク    ");
  EXPECT_EQ(ctx.extraClassNames[1], "一般    ");
  EXPECT_EQ(ctx.classMode, "1");
  EXPECT_EQ(ctx.optionalCategories, "1");
  EXPECT_EQ(EventName(31, ctx), "水中ウォーク");
  EXPECT_EQ(ClassLabel(0, 0, 31, ctx), "一般");
}

TEST(LoadNamingContext, CategoriesAreLoadedOnlyWhenTheSettingIsOn) {
  Meet meet;
  NamingContext on = LoadNamingContext(meet.settings, meet.meetDir.str());
  ASSERT_EQ(on.categories.size(), 1u);
  EXPECT_EQ(on.categories[0].from, 9);
  EXPECT_EQ(on.categories[0].to, 10);
  EXPECT_EQ(on.categories[0].eventFrom, 1);
  EXPECT_EQ(on.categories[0].eventTo, 22);
  EXPECT_EQ(on.categories[0].name, "9-10歳      ");
  EXPECT_EQ(ClassLabel(9, 10, 5, on), "9-10歳");

  meet.settings.optionalCategories = "0";
  NamingContext off = LoadNamingContext(meet.settings, meet.meetDir.str());
  EXPECT_TRUE(off.categories.empty());
  EXPECT_EQ(off.optionalCategories, "0");
}

TEST(LoadNamingContext, MissingFilesReadAsEmptyAndNothingIsCreated) {
  test::TempDir entryDir, meetDir;
  Settings settings;
  settings.entryFolder = entryDir.str();
  settings.entryFileName = "none.Mos";
  settings.optionalCategories = "1";
  NamingContext ctx = LoadNamingContext(settings, meetDir.str());
  EXPECT_EQ(ctx.classScheme, 0);
  EXPECT_EQ(ctx.extraEventNames[1], "");
  EXPECT_TRUE(ctx.categories.empty());
  EXPECT_EQ(EventName(31, ctx), "");
  EXPECT_TRUE(std::filesystem::is_empty(entryDir.path()));
  EXPECT_TRUE(std::filesystem::is_empty(meetDir.path()));
}

TEST(LoadNamingContext, AnEmptyEntryFileNameIsNotAFile) {
  test::TempDir entryDir, meetDir;
  Settings settings;
  settings.entryFolder = entryDir.str();
  settings.entryFileName = "";
  NamingContext ctx = LoadNamingContext(settings, meetDir.str());
  EXPECT_EQ(ctx.classScheme, 0);
  EXPECT_TRUE(std::filesystem::is_empty(entryDir.path()));
}

}  // namespace
}  // namespace meet
