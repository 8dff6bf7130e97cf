// The scene an emulator shows for its options, and the admin port's questions about it.
#pragma once

#include <string>
#include <vector>

#include "camsim_options.h"
#include "thermal_scene.h"

namespace camsim {

SceneSettings SceneSettingsFrom(const Options& o);

// "truth X Y [FRAME]": the object temperature of a pixel ("celsius=34.1234");
// "radiometry": the response constants ("r=133000 b=1428 f=1 o=1000").
// Empty when the words are neither.
std::string AnswerSceneQuery(const std::vector<std::string>& words, const Options& o);

}  // namespace camsim
