// The example pictures of the picking conditions: bkqy-cli demo draws one
// for every condition the library shows, and the picking page of the real
// window shows it beside the condition's article, says when it is missing
// and survives a file that is no picture.
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/recording_prompter.h"
#include "data/paths.h"
#include "picking/example_pictures.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"

namespace {

// Where the picking page draws the picture, in window pixels, and the width
// of the frame's background right of it (the frame's rounded edge follows).
constexpr int kPictureLeft = 640, kPictureTop = 56;
constexpr int kBackgroundWidth = 300;

const picking::ConditionCode kA3{picking::kGroupA, 3};

// One demo market with its pictures for the whole program.
class ExamplePictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new fixture::TempDir;
        const std::string root = s_dir->Path() + "/market";
        s_demo = new fixture::CliRun(fixture::RunCli(
            "demo --data '" + root + "' --stocks 300 --years 2 --end 20261204", s_dir->Path()));
        s_paths = data::BuildDataPaths(root);
    }
    static void TearDownTestSuite() {
        delete s_demo;
        delete s_dir;
    }

    static const data::DataPaths& Paths() { return s_paths; }
    static const fixture::CliRun& Demo() { return *s_demo; }

    // The window started on the demo market, on the picking page with a
    // condition open.
    static void OpenCondition(app::CMainDlg& window, base::RecordingPrompter& prompter,
                              picking::ConditionCode code) {
        ASSERT_TRUE(window.Initialise());
        prompter.records.clear();
        window.Run([](auto& c) { c.ShowPickingPage(); });
        ASSERT_TRUE(window.Run([&](auto& c) { return c.OpenCondition(code); }));
    }

private:
    static inline fixture::TempDir* s_dir = nullptr;
    static inline fixture::CliRun* s_demo = nullptr;
    static inline data::DataPaths s_paths;
};

size_t Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours.size();
}

bool Blank(const QImage& area) { return Colours(area) == 1; }

QImage PictureArea(app::CMainDlg& window, const QSize& size) {
    return window.Canvas().Image().copy(QRect(QPoint(kPictureLeft, kPictureTop), size));
}

TEST_F(ExamplePictures, DemoDrawsADecodableChartForEveryShownCondition) {
    ASSERT_EQ(Demo().exitCode, 0) << Demo().err;
    EXPECT_TRUE(Demo().err.empty()) << Demo().err;
    const std::vector<picking::ConditionCode> conditions = picking::PicturedConditions();
    EXPECT_NE(Demo().out.find("示例图片      " + std::to_string(conditions.size()) + " 张"),
              std::string::npos)
        << Demo().out;
    std::set<std::string> distinct;
    for (const picking::ConditionCode code : conditions) {
        const std::string path = picking::ExamplePicturePath(Paths(), code);
        const QImage picture(QString::fromStdString(path));
        ASSERT_FALSE(picture.isNull()) << path;
        EXPECT_GE(picture.width(), 300) << path;
        EXPECT_LE(picture.width(), 420) << path;
        // A chart has candles, lines and labels, not one flat colour.
        EXPECT_GT(Colours(picture), 50u) << path;
        std::ifstream file(path, std::ios::binary);
        distinct.insert(std::string(std::istreambuf_iterator<char>(file), {}));
    }
    // The examples lie on different days: no two pictures are the same.
    EXPECT_EQ(distinct.size(), conditions.size());
    // Nothing else was left behind: the temporaries of the writes are gone.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Paths().root + "MKDAT"))
        files += entry.path().filename().string().rfind("mk", 0) == 0;
    EXPECT_EQ(files, conditions.size());
}

TEST_F(ExamplePictures, PickingPageShowsThePictureAndSaysWhenItIsMissing) {
    ASSERT_EQ(Demo().exitCode, 0) << Demo().err;
    const std::string path = picking::ExamplePicturePath(Paths(), kA3);
    const QImage picture(QString::fromStdString(path));
    ASSERT_FALSE(picture.isNull());
    {
        base::RecordingPrompter prompter;
        app::CMainDlg window(Paths().root, &prompter);
        OpenCondition(window, prompter, kA3);
        EXPECT_EQ(PictureArea(window, picture.size()), picture.convertToFormat(
                                                          window.Canvas().Image().format()));
        EXPECT_TRUE(prompter.records.empty());
    }

    // Without the file the same place holds the notice and the path: some
    // text on the article's background, no chart.
    const fixture::TempDir aside;
    std::filesystem::rename(path, aside.Path() + "/mk2003.jpg");
    {
        base::RecordingPrompter prompter;
        app::CMainDlg window(Paths().root, &prompter);
        OpenCondition(window, prompter, kA3);
        const QImage area = PictureArea(window, picture.size());
        EXPECT_LT(Colours(area), 10u);
        EXPECT_FALSE(Blank(area.copy(0, 0, 120, 16)));  // 图片文件未找到
        EXPECT_TRUE(Blank(area.copy(0, 60, kBackgroundWidth, 60)));
        EXPECT_TRUE(prompter.records.empty());
    }
    std::filesystem::rename(aside.Path() + "/mk2003.jpg", path);
}

// A file that is there but is no picture is told once as the window tells
// it; the page stays usable.
TEST_F(ExamplePictures, AFileThatIsNoPictureIsToldNotDrawn) {
    ASSERT_EQ(Demo().exitCode, 0) << Demo().err;
    const picking::ConditionCode b24{picking::kGroupB, 24};
    const std::string path = picking::ExamplePicturePath(Paths(), b24);
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    for (const std::string& bytes : {noise, std::string()}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        base::RecordingPrompter prompter;
        app::CMainDlg window(Paths().root, &prompter);
        OpenCondition(window, prompter, b24);
        ASSERT_EQ(prompter.records.size(), 1u);
        EXPECT_EQ(prompter.records[0].text, "Error Loading Picture From Stream!");
        EXPECT_TRUE(Blank(PictureArea(window, {kBackgroundWidth, 60})));
    }
}

}  // namespace
