#include "run/output_names.h"

#include <gtest/gtest.h>

namespace tintgrove {
namespace {

TEST(OutputNamesTest, SplitAtTheLastSeparator) {
  struct Case {
    const char16_t* separators;
    const char16_t* chosen;
    const char16_t *folder, *file, *base, *include;
  };
  const Case cases[] = {
      {u"\\/", u"D:\\art\\sunset.json", u"D:\\art\\", u"sunset.json", u"sunset", u"D:\\art\\sunset.inc"},
      {u"\\/", u"D:/art/sunset.json", u"D:/art/", u"sunset.json", u"sunset", u"D:/art/sunset.inc"},
      {u"/", u"/home/a/b.c/sunset.json", u"/home/a/b.c/", u"sunset.json", u"sunset", u"/home/a/b.c/sunset.inc"},
      // Only "/" separates folders on POSIX: a backslash is part of the name.
      {u"/", u"/x/a\\b.json", u"/x/", u"a\\b.json", u"a\\b", u"/x/a\\b.inc"},
      {u"\\/", u"/x/a\\b.json", u"/x/a\\", u"b.json", u"b", u"/x/a\\b.inc"},
      {u"/", u"/x/colors.txt", u"/x/", u"colors.txt", u"color", u"/x/color.inc"},
      {u"/", u"/x/a.js", u"/x/", u"a.js", u"", u"/x/.inc"},
      {u"/", u"plain.json", u"", u"plain.json", u"plain", u"plain.inc"},
      {u"/", u"", u"", u"", u"", u".inc"},
  };
  for (const Case& c : cases) {
    const OutputNames names = outputNames(c.chosen, c.separators);
    EXPECT_EQ(names.folderPart, c.folder);
    EXPECT_EQ(names.filePart, c.file);
    EXPECT_EQ(names.baseName, c.base);
    EXPECT_EQ(names.includePath, c.include);
  }
}

}  // namespace
}  // namespace tintgrove
