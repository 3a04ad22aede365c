#include "picking/example_pictures.h"

#include <cstdio>

namespace picking {

std::string ExamplePicturePath(const data::DataPaths& paths, ConditionCode code) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%d%03d", code.group % 10, code.number % 1000);
    std::string path = paths.pictureTemplate;
    path.replace(path.size() - 8, 4, digits);
    return path;
}

std::vector<ConditionCode> PicturedConditions() {
    std::vector<ConditionCode> codes;
    for (const int group : {kGroupA, kGroupB})
        for (int position = 1; position <= data::VisibleConditionCount(group); ++position)
            codes.push_back({group, ConditionAtPosition(group, position)});
    return codes;
}

}  // namespace picking
