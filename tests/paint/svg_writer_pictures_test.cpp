// The SVG writer's files show what its earlier, plainer files showed: a few
// drawings rendered by rsvg-convert from the files in
// tests/data/svg-written-before (made by the writer before it wrote classes,
// relative path data and a layer) and from the same drawings rendered anew
// by `quelvix render` give the same picture. The earlier files drew the page
// as a grey outline, which is page metadata now; it is taken out of them
// before they are rendered.
//
// Pictures are compared as picture_agreement.h says; both come from one
// renderer, so at least 99.5 % of all pixels must be within 8 levels in
// every channel, and none off the edges more than 64.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>

#include "picture_agreement.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Drawing {
  const char* name;
  std::vector<const char*> settings;
};

TEST(SvgWriterPictures, TheNewFilesLookLikeTheEarlierOnes) {
  if (QProcess::execute("rsvg-convert", {"--version"}) != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const fs::path dir = fs::temp_directory_path() /
                       ("qx_svg_pictures_" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(dir);
  const Drawing drawings[] = {
      {"tiled-opacity", {"--preset", "10", "--set", "randomOpacity=on", "--seed", "3"}},
      {"curves-a4",
       {"--preset", "13", "--set", "randomOpacity=on", "--set", "tileMode=3", "--page", "a4", "--seed", "5"}},
      {"stars-tile", {"--set",  "lineSets=3",
                      "--set",  "pointsMin=25",
                      "--set",  "pointsMax=25",
                      "--set",  "shapeKind=11",
                      "--set",  "shapeSizeMin=16",
                      "--set",  "shapeSizeMax=16",
                      "--set",  "randomOpacity=on",
                      "--set",  "curvatureX=40",
                      "--set",  "tileMode=1",
                      "--set",  "lineStrokeMode=5",
                      "--set",  "shapeFillMode=6",
                      "--page", "500x400",
                      "--seed", "11"}},
  };
  const std::string outline = "<rect x=\"0\" y=\"0\" width=\"";
  for (const Drawing& d : drawings) {
    SCOPED_TRACE(d.name);
    const std::string name = d.name;
    QString why;
    QStringList args{"render", "--fresh", "--state", QString::fromStdString((dir / "state.bin").string())};
    for (const char* a : d.settings) args << a;
    const fs::path fresh = dir / (name + ".svg");
    args << "-o" << QString::fromStdString(fresh.string());
    ASSERT_TRUE(runProgram(QX_QUELVIX_EXE, args, &why)) << why.toStdString();

    // The earlier file without its page outline: the one line that starts so.
    std::string before = readFile(fs::path(QX_SOURCE_DIR) / "tests/data/svg-written-before" / (name + ".svg"));
    const size_t at = before.find(outline);
    ASSERT_NE(at, std::string::npos);
    before.erase(at, before.find('\n', at) + 1 - at);
    const fs::path earlier = dir / (name + "-before.svg");
    std::ofstream(earlier, std::ios::binary) << before;

    const fs::path a = dir / (name + ".png"), b = dir / (name + "-before.png");
    ASSERT_TRUE(runProgram("rsvg-convert",
                           {QString::fromStdString(fresh.string()), "-o", QString::fromStdString(a.string())}, &why))
        << why.toStdString();
    ASSERT_TRUE(runProgram("rsvg-convert",
                           {QString::fromStdString(earlier.string()), "-o", QString::fromStdString(b.string())}, &why))
        << why.toStdString();
    const QImage now = onWhite(QString::fromStdString(a.string())), then = onWhite(QString::fromStdString(b.string()));
    ASSERT_FALSE(now.isNull());
    ASSERT_EQ(now.size(), then.size());
    const Agreement agreement = compare(now, then);
    EXPECT_GE(agreement.within8, 0.995);
    EXPECT_EQ(agreement.farOffEdges, 0);
    EXPECT_LT(fs::file_size(fresh),
              fs::file_size(fs::path(QX_SOURCE_DIR) / "tests/data/svg-written-before" / (name + ".svg")));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qx::test
