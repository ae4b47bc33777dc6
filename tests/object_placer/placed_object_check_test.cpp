// The object placer's output (definition block and container task) checks without errors in the
// shipped game: a generator never hands over text the checker calls an error.
#include <gtest/gtest.h>

#include "checker/checker.h"
#include "engine/text.h"
#include "game/scenario_file.h"
#include "object_placer/object_definition.h"

using namespace marvo::literals;

TEST(PlacedObject, DefinitionAndContainerTaskCheckWithoutErrors) {
  auto scenario = marvo::readScenarioFile(MARVO_SOURCE_DIR "/games/mayak.scn").lines;
  const auto library = marvo::readScenarioFile(MARVO_SOURCE_DIR "/games/marvo.lib").lines;
  ASSERT_FALSE(scenario.empty());
  auto form = marvo::objects::initialForm();
  form.name = std::string("ящик"_w);
  form.mask = form.name;
  form.location = std::string("сарай"_w);
  form.immovable = true;
  form.addTask = true;
  for (const auto& insertion : marvo::objects::placementInsertions(scenario, form))
    scenario.insert(scenario.begin() + static_cast<long>(insertion.before), insertion.lines.begin(),
                    insertion.lines.end());
  marvo::check::CheckInput input;
  input.scenario = scenario;
  input.library = library;
  for (const auto& d : marvo::check::checkScenario(input))
    EXPECT_NE(d.severity, marvo::check::Severity::Error) << d.line << " " << d.rule;
  // A second placement of the same name is what the placer refuses: the checker calls it an error.
  EXPECT_EQ(marvo::check::findCreate(scenario, form.name), 0);
}
