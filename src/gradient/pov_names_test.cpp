#include "gradient/pov_names.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tintgrove {
namespace {

TEST(PovNamesTest, DeclaredNamesAreValidIdentifiers) {
  struct Case {
    const char16_t* baseName;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"sunset", u"sunset"},  {u"sunset-2 v.1", u"sunset_2_v_1"},
      {u"2tone", u"_2tone"},   {u"red", u"_red"},
      {u"", u"_"},             {u"caf\u00E9", u"caf_"},
      {u"Red", u"Red"},        {u"pi", u"_pi"},
      {u"x", u"_x"},           {u"_ok_9", u"_ok_9"},
      // Reserved once mended.
      {u"color map", u"_color_map"}, {u"color-map", u"_color_map"},
      // A character outside the Basic Multilingual Plane is one character.
      {u"a\U0001F600b", u"a_b"},  {u"\U0001F305", u"_"},
      // A lone surrogate is one character too.
      {u"a\xD83D" u"b", u"a_b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(declaredName(c.baseName), c.name) << test::shown(c.baseName);
  }
}

}  // namespace
}  // namespace tintgrove
