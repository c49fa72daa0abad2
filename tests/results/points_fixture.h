// A meet folder for the points tally and its printouts: teams A, B, C (codes
// 13001, 13002, 13003) whose swimmers are hand-built entries, races built
// from lanes, and a program entry per event.
#pragma once

#include <string>
#include <vector>

#include "program/projun_file.h"
#include "race/kyogi_fixture.h"
#include "results/points_tally.h"

namespace meet::test {

// One lane of a race: the swimmer's team (0 A, 1 B, 2 C), time, record class
// (99 exhibition), age and grade code.
struct Lane {
  int team = 0;
  int time = 0;
  int recordClass = 0;
  int age = 12;
  std::string grade = "23";
};

struct PointsMeet : KyogiMeet {
  std::vector<HandEntry> swimmers;
  std::vector<HandRace> races;
  std::vector<ProgramEntry> program;

  PointsMeet() {
    settings.laneCount = 8;
    settings.affiliationMode = "0";
    settings.pointsIndividual = {10, 8, 6, 5, 4, 3, 2, 1};
    settings.pointsRelay = {20, 16, 12, 10, 8, 6, 4, 2};
  }
  static std::string TeamRegNo(int team) { return "1300" + std::to_string(team + 1) + "200001011"; }
  int Swimmer(int team, int age, const std::string& grade = "23") {
    swimmers.push_back(HandEntry{TeamRegNo(team), "泳者" + std::to_string(swimmers.size() + 1), "ｴｲｼｬ", "東京都",
                                 std::string("クラブ") + static_cast<char>('A' + team), grade, age});
    return static_cast<int>(swimmers.size());
  }
  // An event of one or more heats (lanes 1..n of each), numbered in order.
  void Event(const std::vector<std::vector<Lane>>& heats, const std::string& stage = "2", int eventCode = 2,
             const std::string& sex = "1") {
    ProgramEntry pe = BlankProgramEntry();
    pe.orderNo = static_cast<int16_t>(program.size() + 1);
    pe.heatCount = static_cast<int16_t>(heats.size());
    pe.sexCode = sex;
    pe.ageFrom = 0;
    pe.ageTo = 100;
    pe.eventCode = static_cast<int16_t>(eventCode);
    pe.stageCode = stage;
    pe.firstRace = static_cast<int16_t>(races.size() + 1);
    pe.dayNo = "1";
    program.push_back(pe);
    int heatNo = 0;
    for (const auto& lanes : heats) {
      HandRace r;
      r.eventNo = pe.orderNo;
      r.heatNo = ++heatNo;
      r.heatTotal = static_cast<int>(heats.size());
      r.sex = sex;
      r.eventCode = eventCode;
      r.round = stage;
      for (size_t k = 0; k < lanes.size(); ++k) {
        r.laneNo[k] = Swimmer(lanes[k].team, lanes[k].age, lanes[k].grade);
        r.laneTime[k] = lanes[k].time;
        r.recordClass[k] = lanes[k].recordClass;
      }
      races.push_back(r);
    }
  }
  // Writes the files; the entries sorted by team keep their numbers in the races.
  void Write() {
    Entries(swimmers);
    Races(races);
    std::string bytes = ProgramHeaderRecord(static_cast<int16_t>(program.size())).bytes();
    bytes.resize(64 * 10, '\0');
    for (const ProgramEntry& e : program) bytes += RecordFromProgramEntry(e).bytes();
    WriteFile(dir / "projun.dat", bytes);
  }
  Result<TallyResult> Run(const TallyOptions& options = {}) {
    Write();
    return RunTally(dir.path(), settings, options, fake.clock);
  }
  std::string Nyusho() const { return ReadFile(dir / "nyusho.dat"); }
  std::string Biko() const { return ReadFile(dir / "biko.dat"); }
  // tally(p, c) of team n (from 1), read from the file's bytes.
  int Cell(int team, int p, int c) const {
    const std::string b = Nyusho();
    const size_t at = static_cast<size_t>(team + 9) * 318 + 23 + 2 * static_cast<size_t>(p + 21 * c);
    if (at + 2 > b.size()) return -99999;
    return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
  }
  // The team number (from 1) of team 0 A, 1 B, 2 C in nyusho.dat; 0 when absent.
  int TeamNo(int team) const {
    const std::string b = Nyusho();
    for (int n = 1; n <= TeamCount(); ++n)
      if (b.substr(static_cast<size_t>(n + 9) * 318, 5) == TeamRegNo(team).substr(0, 5)) return n;
    return 0;
  }
  // Points of team A/B/C in tally column c (0 when the team has no record).
  int Points(int team, int c = 0) const { return TeamNo(team) == 0 ? 0 : Cell(TeamNo(team), 0, c); }
  int TeamCount() const {
    const std::string b = Nyusho();
    return b.size() < 2 ? -1 : static_cast<int16_t>(static_cast<uint8_t>(b[0]) | (static_cast<uint8_t>(b[1]) << 8));
  }
};

}  // namespace meet::test
