// vantrel progress: the picture it saves and what it reports.
#include <cstdio>

#include "cli_helpers.h"
#include "support/test_support.h"

namespace {

using cli_testing::Contains;
using cli_testing::RunVantrel;

TEST(ProgressCli, SavesThePictureAndReportsWhatItShows) {
    testing_support::TempDir dir;
    const std::string png = dir.File("progress.png");
    const struct {
        const char* args;
        const char* filled;  // what the command reports
        const char* text;
        int width, height;  // of the picture
    } cases[] = {
        {"25", "50 of 200 pixels", "25%", 200, 20},
        {"100 --range 50 150", "100 of 200 pixels", "67%", 200, 20},
        {"1 --range 0 3 --width 300 --height 24", "100 of 300 pixels", "33%", 300, 24},
        {"40 --no-percent", "80 of 200 pixels", "none", 200, 20},
        {"105", "0 of 200 pixels", "none", 200, 20},
        {"5 --range 5 5", "200 of 200 pixels", "100%", 200, 20},
    };
    for (const auto& c : cases) {
        std::remove(png.c_str());
        SCOPED_TRACE(c.args);
        auto r = RunVantrel(std::string("progress ") + c.args + " --png '" + png + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(Contains(r.out, c.filled) && Contains(r.out, std::string(c.text) + "\n"))
            << r.out;
        const cli_testing::PngImage image = cli_testing::ReadPng(png);
        EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(c.width, c.height));
    }
    auto r = RunVantrel("progress 40 --no-percent --format json --png '" + png + "'");
    EXPECT_EQ(r.out,
              "{\"lower\": 0, \"upper\": 100, \"position\": 40, \"filled\": 80, "
              "\"width\": 200, \"height\": 20, \"text\": null, \"png\": \"" +
                  png + "\"}\n");
}

}  // namespace
