#include <gtest/gtest.h>

#include "gradient/pov_names.h"
#include "test_support.h"

namespace tintgrove {
namespace {

TEST(ReservedWordsTest, KnowsTheWordsThatStopAParse) {
  // First and last entries, single letters and words from each part of the
  // language; each of these stops POV-Ray 3.7 in a #declare.
  for (const char16_t* word :
       {u"aa_level", u"z", u"red", u"green", u"blue", u"rgb", u"x", u"y", u"t",
        u"pi", u"color_map", u"colour_map", u"declare", u"version", u"include",
        u"sphere", u"texture", u"function", u"max_trace_level", u"yes"}) {
    EXPECT_TRUE(isReservedWord(word)) << test::shown(word);
  }
  // Case matters, and a prefix or an extension of a word is free.
  for (const char16_t* word : {u"Red", u"RED", u"_red", u"reds", u"re", u"sunset",
                               u"", u"a", u"zz", u"color_maps"}) {
    EXPECT_FALSE(isReservedWord(word)) << test::shown(word);
  }
}

// Undocumented words: the keyword index leaves them out, yet POV-Ray 3.7
// stops at each of them in a #declare.
TEST(ReservedWordsTest, KnowsTheWordsTheReferenceLeavesOut) {
  for (const char16_t* word :
       {u"anisotropy", u"bmp", u"dtag", u"exr", u"hdr", u"mesh_camera",
        u"number_of_sides", u"number_of_tiles", u"steps", u"xyz"}) {
    EXPECT_TRUE(isReservedWord(word)) << test::shown(word);
  }
}

// Names POV-Ray takes as they are must not gain a "_".
TEST(ReservedWordsTest, LeavesOrdinaryGradientNamesFree) {
  for (const char16_t* word : {u"sunset", u"ocean", u"forest", u"my_map",
                               u"step", u"mesh_cameras", u"xy"}) {
    EXPECT_FALSE(isReservedWord(word)) << test::shown(word);
  }
}

}  // namespace
}  // namespace tintgrove
