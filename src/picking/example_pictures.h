// The example pictures of the picking conditions: one JPEG per condition the
// method library shows in groups a and b, MKDAT/mk<g><nnn>.jpg, drawn beside
// the condition's article.
#pragma once

#include <string>
#include <vector>

#include "data/paths.h"
#include "picking/catalogue.h"

namespace picking {

// The picture of a condition: the start-up template MKDAT/mk0102.jpg with its
// four digits replaced by the group digit and the number in three digits
// (a3 gives MKDAT/mk2003.jpg).
std::string ExamplePicturePath(const data::DataPaths& paths, ConditionCode code);

// The conditions that have a picture, in the order the library lists them:
// every shown condition of group a, then of group b.
std::vector<ConditionCode> PicturedConditions();

}  // namespace picking
