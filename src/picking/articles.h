// The explanatory articles of the method library, in the marked-up text
// format: one per shown condition (a heading, a body in plain words with the
// condition's parameters, and the worked example of the example file), and
// the ten investment-idea articles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "picking/catalogue.h"

namespace picking {

// The heading of a condition's article; empty for a condition without one.
std::string_view ArticleHeading(ConditionCode code);

// The whole article (UTF-8 with "/c" and "/n" marks); `example` is the
// condition's value of the example table (market digit and date), 0 for none.
// Empty for a condition without an article.
std::string ConditionArticle(ConditionCode code, uint32_t example);

// The investment-idea articles 1..10 (group 1 of the titles); empty beyond.
std::string IdeaArticle(int number);

inline constexpr int kIdeaArticles = 10;

}  // namespace picking
