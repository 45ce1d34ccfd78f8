// What the units' sounds become on the game's battlefield: a sample on a node or at the
// listener, an engine note started once and then only retuned (started again if it lost its
// voice), and silence for a far unit or a wreck.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/gamebattlefield.h"
#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

using unittest::UnitWorld;

// Remembers what was asked; an object "plays" from PlaySound until Silence or Drop.
class RecordingSound : public TTRVSoundCall {
 public:
  struct Play {
    std::string name;
    TGLBaseSceneObject* object;
    TAffineVector position;
    int loops;
    float volume;
  };
  void PlaySound(std::string_view name, TGLBaseSceneObject* object, const TAffineVector& position, int loops,
                 float volume) override {
    plays.push_back({std::string(name), object, position, loops, volume});
    if (object) frequency[object] = -1;
  }
  bool SetFrequency(TGLBaseSceneObject& object, int hertz) override {
    auto it = frequency.find(&object);
    if (it == frequency.end()) return false;
    it->second = hertz;
    return true;
  }
  void Silence(TGLBaseSceneObject& object) override { frequency.erase(&object); }
  void Drop(TGLBaseSceneObject& object) { frequency.erase(&object); }

  std::vector<Play> plays;
  std::map<TGLBaseSceneObject*, int> frequency;
};

class GameSound : public ::testing::Test {
 protected:
  TTRVEntity& Unit(std::uint8_t type) {
    TTRVUnitState state;
    state.unitType = type;
    auto* unit = w.world->sideRoot->Children(0)->AddNewChild<TTRVEntity>();
    unit->Setup(*w.world, {5, 0, 5}, true, state, {1, 0, 0});
    return *unit;
  }

  UnitWorld w{100, 2};
  TTRVEffects effects{GroundOf(*w.world), nullptr};
  TTRVProjectiles shots{*w.world, effects};
  std::vector<TTRVUnitRef> refs;
  RecordingSound sound;
  TGLDummyCube* listener = w.world->worldRoot->AddNewChild<TGLDummyCube>();
  TTRVGameBattlefield field{effects, shots, refs, &sound, listener};
};

TEST_F(GameSound, SamplesPlayOnTheirNodeOrWhereTheListenerIs) {
  listener->Position.SetPoint(3, 4, 5);
  TTRVEntity& heli = Unit(utHeli);
  field.PlaySample("50cal", heli.hitBox);
  field.PlaySample("AirStrikeSelected", nullptr);
  ASSERT_EQ(sound.plays.size(), 2u);
  EXPECT_EQ(sound.plays[0].object, heli.hitBox);
  EXPECT_EQ(sound.plays[0].loops, 1);
  EXPECT_FLOAT_EQ(sound.plays[0].volume, 1);
  EXPECT_EQ(sound.plays[1].object, nullptr);
  EXPECT_EQ(sound.plays[1].position, TAffineVector(3, 4, 5));
}

TEST_F(GameSound, AnEngineNoteStartsOnceAndIsThenRetuned) {
  struct Case {
    std::uint8_t type;
    const char* sample;
  };
  for (const Case& c : {Case{utHeli, "heli"}, Case{utTank, "tank"}, Case{utBoat, "ship"}}) {
    SCOPED_TRACE(c.sample);
    sound.plays.clear();
    TTRVEntity& unit = Unit(c.type);
    field.SetEngineSound(unit, 23000);
    field.SetEngineSound(unit, 24000);
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_EQ(sound.plays[0].name, c.sample);
    EXPECT_EQ(sound.plays[0].object, unit.soundNode);
    EXPECT_EQ(sound.plays[0].loops, 100000);
    EXPECT_FLOAT_EQ(sound.plays[0].volume, 0.5f);
    EXPECT_EQ(sound.frequency[unit.soundNode], 24000);
    // A note whose voice was taken by nearer sounds starts again, at its current pitch.
    sound.Drop(*unit.soundNode);
    field.SetEngineSound(unit, 25000);
    EXPECT_EQ(sound.plays.size(), 2u);
    EXPECT_EQ(sound.frequency[unit.soundNode], 25000);
    field.Silence(unit);
    EXPECT_EQ(sound.frequency.count(unit.soundNode), 0u);
  }
}

TEST_F(GameSound, TurretsHaveNoEngineAndNoSoundCallMeansSilence) {
  TTRVEntity& turret = Unit(utTurret);
  field.SetEngineSound(turret, 20000);
  EXPECT_TRUE(sound.plays.empty());
  TTRVGameBattlefield silent{effects, shots, refs, nullptr, nullptr};
  TTRVEntity& heli = Unit(utHeli);
  silent.SetEngineSound(heli, 22050);
  silent.PlaySample("explosion", nullptr);
  silent.Silence(heli);
}

}  // namespace
