#include "print/print_sources.h"

#include "core/cp932.h"
#include "core/numbers.h"
#include "data/naming_context.h"

namespace meet {

PrintSources::PrintSources(const MeetFiles& meet) : settings_(meet.settings) {
  naming_ = LoadNamingContext(settings_, meet.meetFolder);
  if (auto opened = EntryFile::OpenForReading(EntryFilePath(settings_.entryFolder, settings_.entryFileName))) {
    relayFlags_ = opened->Events().extraRelayFlags;
    entries_.emplace(std::move(*opened));
  }
  if (auto opened = RelayFile::OpenForReading(meet.meetFolder)) relays_.emplace(std::move(*opened));
}

std::optional<Entry> PrintSources::entry(int n) const {
  if (!entries_ || n <= 0 || n > entries_->entriesHeld()) return std::nullopt;
  return entries_->Load(n);
}

RelayBlock PrintSources::block(int relayRec) const {
  if (!relays_ || relayRec <= 0 || relayRec > relays_->relayCount()) return RelayBlock{};
  return relays_->Read(relayRec);
}

bool PrintSources::IsRelay(int eventCode) const {
  if (eventCode >= 23 && eventCode <= 29) return true;
  if (eventCode < 30 || eventCode > 44) return false;
  const char flag = relayFlags_[static_cast<size_t>(eventCode - 30)];
  return LeadingNumber(std::string_view(&flag, 1)) != 0;
}

std::string PrintSources::GradeText(std::string_view gradeCode) const {
  return PrintedText(ClassName(gradeCode, naming_.classScheme));
}

std::string PrintSources::BandLabel(int classFrom, int classTo, int eventCode) const {
  return PrintedText(ClassLabel(classFrom, classTo, eventCode, naming_));
}

std::string PrintSources::EventText(int eventCode) const { return PrintedText(EventName(eventCode, naming_)); }

std::string PrintedText(std::string_view field) {
  std::string text(field);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return TrimRight(text);
}

std::string PrintedName(std::string_view field) {
  std::string text(field);
  for (char& c : text)
    if (c == '\0') c = ' ';
  return CleanName(text, 1);
}

std::string FlagText(char flag) {
  if (static_cast<unsigned char>(flag) <= 0x20 || static_cast<unsigned char>(flag) >= 0x80) return {};
  return std::string(1, flag);
}

std::string NumberOrBlank(int value, int width) {
  if (value == 0) return std::string(static_cast<size_t>(width), ' ');
  return RightAligned(value, width);
}

}  // namespace meet
