// The setting boards and articles of the method library: every condition the
// library shows has a board whose rows place each of its parameters' fields
// exactly once, and an article with its heading and worked example.
#include <gtest/gtest.h>

#include <map>

#include "data/examples.h"
#include "picking/articles.h"
#include "picking/board_texts.h"

namespace {

using picking::ConditionCode;

std::vector<ConditionCode> ShownConditions() {
    std::vector<ConditionCode> codes;
    for (int group : {picking::kGroupA, picking::kGroupB, picking::kGroupC})
        for (int p = 1; p <= data::VisibleConditionCount(group); ++p)
            codes.push_back({group, picking::ConditionAtPosition(group, p)});
    return codes;
}

TEST(BoardTexts, EveryShownConditionPlacesEachParameterOnce) {
    const auto shown = ShownConditions();
    ASSERT_EQ(shown.size(), 62u);
    for (const ConditionCode code : shown) {
        const picking::BoardTexts texts = picking::BoardTextsOf(code);
        EXPECT_FALSE(texts.headline.empty()) << code.Text();
        EXPECT_NE(texts.hint.find("加入方法"), std::string_view::npos) << code.Text();
        std::map<int, int> seen;
        for (std::string_view row : texts.rows)
            picking::ForEachRowPiece(row, [&](const picking::RowPiece& piece) {
                if (piece.param >= 0) ++seen[piece.param];
            });
        const size_t params = picking::ConditionParamKinds(code).size();
        EXPECT_EQ(seen.size(), params) << code.Text();
        for (const auto& [param, count] : seen) {
            EXPECT_LT(static_cast<size_t>(param), params) << code.Text();
            EXPECT_EQ(count, 1) << code.Text() << " field " << param;
        }
    }
    // The conditions the library does not show have no board.
    EXPECT_TRUE(picking::BoardTextsOf({picking::kGroupB, 8}).headline.empty());
    EXPECT_TRUE(picking::BoardTextsOf({picking::kGroupC, 2}).headline.empty());
}

TEST(BoardTexts, RowsSplitIntoTextAndFields) {
    std::vector<std::pair<std::string, int>> pieces;
    picking::ForEachRowPiece("{0}元 ≤J≤ {1}元", [&](const picking::RowPiece& p) {
        pieces.emplace_back(std::string(p.text), p.param);
    });
    EXPECT_EQ(pieces, (std::vector<std::pair<std::string, int>>{{"", 0}, {"元 ≤J≤ ", -1}, {"", 1}, {"元", -1}}));
    pieces.clear();
    picking::ForEachRowPiece("Ｎ={0} {", [&](const picking::RowPiece& p) {
        pieces.emplace_back(std::string(p.text), p.param);
    });
    EXPECT_EQ(pieces, (std::vector<std::pair<std::string, int>>{{"Ｎ=", -1}, {"", 0}, {" {", -1}}));
}

TEST(Articles, HeadingBodyAndTheWorkedExample) {
    for (const ConditionCode code : ShownConditions()) {
        const std::string article = picking::ConditionArticle(code, 0);
        const std::string heading(picking::ArticleHeading(code));
        ASSERT_FALSE(heading.empty()) << code.Text();
        EXPECT_EQ(article.rfind("/c120000000  " + heading + "/c000000090——", 0), 0u) << code.Text();
        EXPECT_EQ(article.find("示例："), std::string::npos);
    }
    EXPECT_EQ(picking::ArticleHeading({picking::kGroupA, 1}), "根据股价选股");
    EXPECT_EQ(picking::ArticleHeading({picking::kGroupB, 25}), "选取MACD在零轴上方金叉的个股");

    const std::string shanghai = picking::ConditionArticle({picking::kGroupA, 3}, 120160601);
    const std::string tail =
        "示例：/n/c000000090  在选股页面左下角“进入模拟”，输入模拟日期20160601，/n  点“确定”，选“沪市”，"
        "按默认条件开始“单步选股”";
    ASSERT_GE(shanghai.size(), tail.size());
    EXPECT_EQ(shanghai.substr(shanghai.size() - tail.size()), tail);
    EXPECT_NE(picking::ConditionArticle({picking::kGroupA, 3}, 320151231).find("选“创板”"), std::string::npos);
    EXPECT_TRUE(picking::ConditionArticle({picking::kGroupB, 8}, 120160601).empty());
}

TEST(Articles, TheTenInvestmentIdeas) {
    for (int n = 1; n <= picking::kIdeaArticles; ++n) {
        const std::string article = picking::IdeaArticle(n);
        EXPECT_EQ(article.rfind("/c120000000  " + picking::ConditionTitleOf(picking::kArticleGroup, n), 0), 0u);
    }
    EXPECT_NE(picking::IdeaArticle(9).find("止损"), std::string::npos);
    EXPECT_TRUE(picking::IdeaArticle(0).empty());
    EXPECT_TRUE(picking::IdeaArticle(11).empty());
}

}  // namespace
