#include "data/naming_context.h"

#include "data/entry_file.h"
#include "data/optional_categories.h"

namespace meet {

NamingContext LoadNamingContext(const Settings& settings, const std::filesystem::path& meetFolder) {
  NamingContext ctx;
  ctx.classMode = settings.classMode;
  ctx.optionalCategories = settings.optionalCategories;
  if (auto entries = EntryFile::OpenForReading(EntryFilePath(settings.entryFolder, settings.entryFileName))) {
    EventDefinitions events = entries->Events();
    ctx.extraEventNames = events.extraEventNames;
    ctx.extraClassNames = events.extraClassNames;
    ctx.classScheme = entries->header().classScheme;
  }
  if (settings.optionalCategories == "1") {
    for (const OptionalCategory& c : ReadOptionalCategories(meetFolder))
      ctx.categories.push_back(CategoryName{c.catFrom, c.catTo, c.catEventFrom, c.catEventTo, c.catName});
  }
  return ctx;
}

}  // namespace meet
