// The SVG reader and the painter against another renderer: each file of the
// corpus exported to PNG by `quelvix export` matches rsvg-convert's picture
// of the same file.
//
// Pictures are compared as picture_agreement.h says: off the edges at least
// 99.5 % of the pixels must be within 8 levels in every channel and all of
// them within 64; over the whole picture, edges included, at least 97 %.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <QProcess>

#include "picture_agreement.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

TEST(SvgCorpus, ExportedPicturesMatchAnotherRenderer) {
  if (QProcess::execute("rsvg-convert", {"--version"}) != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const fs::path dir = fs::temp_directory_path() / "qx_svg_corpus";
  fs::create_directories(dir);
  // Gradients, patterns and text are left out: the document paints a
  // gradient with its first stop and does not import text.
  for (const char* name : {"shapes", "transforms", "paint", "motif", "quelvix-own"}) {
    SCOPED_TRACE(name);
    const QString svg = QString(SVG_TEST_DATA "/%1.svg").arg(name);
    const QString ours = QString::fromStdString((dir / (std::string(name) + "-ours.png")).string());
    const QString theirs = QString::fromStdString((dir / (std::string(name) + "-rsvg.png")).string());
    QString why;
    // Our own files show the art beyond the page too, as their view box does.
    const QString area = std::string(name) == "quelvix-own" ? "art" : "page";
    ASSERT_TRUE(runProgram(QX_QUELVIX_EXE, {"export", svg, "-o", ours, "--dpi", "96", "--area", area}, &why))
        << why.toStdString();
    ASSERT_TRUE(runProgram("rsvg-convert", {svg, "-o", theirs}, &why)) << why.toStdString();
    const QImage a = onWhite(ours), b = onWhite(theirs);
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    const Agreement agreement = compare(a, b);
    EXPECT_GE(agreement.within8OffEdges, 0.995);
    EXPECT_EQ(agreement.farOffEdges, 0);
    EXPECT_GE(agreement.within8, 0.97);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qx::test
