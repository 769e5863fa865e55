#include "run/summary.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"

namespace tintgrove {
namespace {

// A conversion of /g/sun set.json as the stages could have left it.
struct Given {
  FileProblem table = FileProblem::none;
  FileProblem gradient = FileProblem::none;
  std::int64_t colors = 2;
  bool attempted = true;
  bool written = true;
  FileProblem writeProblem = FileProblem::none;
  std::int64_t notFound = 0;
  const char16_t* declared = u"sun_set";
};

Conversion conversion(const Given& g) {
  Conversion c;
  c.chosenPath = u"/g/sun set.json";
  c.names = {u"/g/", u"sun set.json", u"sun set", u"/g/sun set.inc"};
  c.declaredName = g.declared;
  c.tableProblem = g.table;
  c.gradientProblem = g.gradient;
  c.colorCount = g.colors;
  c.writeAttempted = g.attempted;
  c.written.written = g.written;
  c.written.problem = g.writeProblem;
  c.written.codesNotFound = g.notFound;
  return c;
}

TEST(SummaryTest, LinesAndExitCodeForEachOutcome) {
  const Text banner = u"Tintgrove 0.2  orlavex 03.20.2026\r";
  struct Case {
    const char* name;
    Given given;
    std::vector<const char16_t*> lines;
    int exitCode;
  };
  const Case cases[] = {
      {"created, name mended", {},
       {u"sun set.inc created ", u"2 colors in gradient", u"declared as sun_set"}, 0},
      {"created as named", {.declared = u"sun set"},
       {u"sun set.inc created ", u"2 colors in gradient"}, 0},
      {"codes missing, 257 colours", {.colors = 257, .notFound = 3, .declared = u"sun set"},
       {u"sun set.inc created ", u"257 colors in gradient",
        u"3 color codes not found in hex-bin.txt",
        u"POV-Ray accepts at most 256 colors per color_map"}, 0},
      {"256 colours", {.colors = 256, .declared = u"sun set"},
       {u"sun set.inc created ", u"256 colors in gradient"}, 0},
      // A failed write says so alone, whatever the include would have held.
      {"write failed", {.colors = 300, .written = false,
                        .writeProblem = FileProblem::diskFull, .notFound = 3},
       {u"sun set.inc not created ", u"300 colors in gradient",
        u"cannot write /g/sun set.inc: disk full"}, 1},
      {"write failed, no reason", {.written = false, .writeProblem = FileProblem::other},
       {u"sun set.inc not created ", u"2 colors in gradient", u"cannot write /g/sun set.inc"}, 1},
      {"write is the gradient", {.written = false, .writeProblem = FileProblem::isTheGradient},
       {u"sun set.inc not created ", u"2 colors in gradient",
        u"cannot write /g/sun set.inc: same file as the gradient"}, 1},
      {"gradient missing", {.gradient = FileProblem::notFound, .colors = 0,
                            .attempted = false, .written = false},
       {u"sun set.inc not created ", u"0 colors in gradient",
        u"cannot open /g/sun set.json: not found"}, 1},
      {"gradient in use", {.gradient = FileProblem::inUse, .colors = 0,
                           .attempted = false, .written = false},
       {u"sun set.inc not created ", u"0 colors in gradient",
        u"cannot open /g/sun set.json: in use by another program"}, 1},
      {"gradient cut short", {.gradient = FileProblem::notEnoughMemory, .colors = 7,
                              .attempted = false, .written = false},
       {u"sun set.inc not created ", u"7 colors in gradient",
        u"cannot read all of /g/sun set.json: not enough memory"}, 1},
      // The "cannot" lines come first, then the missing stops.
      {"no table, no stops", {.table = FileProblem::permissionDenied, .colors = 0,
                              .attempted = false, .written = false},
       {u"sun set.inc not created ", u"0 colors in gradient",
        u"cannot open hex-bin.txt: permission denied",
        u"no color stops found in sun set.json"}, 1},
      {"no table", {.table = FileProblem::notFound, .attempted = false, .written = false},
       {u"sun set.inc not created ", u"2 colors in gradient",
        u"cannot open hex-bin.txt: not found"}, 1},
      {"table cut short", {.table = FileProblem::notEnoughMemory, .attempted = false,
                           .written = false},
       {u"sun set.inc not created ", u"2 colors in gradient",
        u"cannot read all of hex-bin.txt: not enough memory"}, 1},
      {"no stops", {.colors = 0, .attempted = false, .written = false},
       {u"sun set.inc not created ", u"0 colors in gradient",
        u"no color stops found in sun set.json"}, 1},
  };
  for (const Case& c : cases) {
    Text expected = banner;
    for (const char16_t* line : c.lines) (expected += line) += u'\r';
    const Summary summary = summarize(conversion(c.given));
    EXPECT_EQ(summary.text, expected) << c.name;
    EXPECT_EQ(summary.exitCode, c.exitCode) << c.name;
  }
}

// Several conversions in one box: one banner, an empty line between the
// summaries, and past the limit a count of the rest and of their failures.
TEST(SummaryTest, SeveralSummariesInOneNotice) {
  const Text banner = u"Tintgrove 0.2  orlavex 03.20.2026\r";
  const Summary good{banner + u"a.inc created \r2 colors in gradient\r", 0};
  const Summary bad{banner + u"b.inc not created \r0 colors in gradient\rcannot open /b.json\r", 1};
  const Summary one = combined({good}, 8);
  EXPECT_EQ(one.text, good.text);
  EXPECT_EQ(one.exitCode, 0);
  const Summary two = combined({good, bad}, 8);
  EXPECT_EQ(two.text, banner + u"a.inc created \r2 colors in gradient\r\r"
                               u"b.inc not created \r0 colors in gradient\rcannot open /b.json\r");
  EXPECT_EQ(two.exitCode, 1);
  const Summary many = combined({good, bad, good, bad, bad}, 2);
  EXPECT_EQ(many.text, two.text + u"\rand 3 more files, 2 of them not converted\r");
  EXPECT_EQ(many.exitCode, 1);
  EXPECT_EQ(combined({good, good, good}, 1).exitCode, 0);
}

}  // namespace
}  // namespace tintgrove
