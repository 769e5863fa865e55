#include "run/command_line.h"

#include <gtest/gtest.h>

namespace tintgrove {
namespace {

using Action = Invocation::Action;

TEST(CommandLineTest, ArgumentsSayWhatToDo) {
  struct Case {
    std::vector<Text> arguments;
    Action action;
    bool desktop;
    std::vector<Text> files;
    Text unknown;
  };
  const Case cases[] = {
      {{}, Action::ask, false, {}, u""},
      {{u"--desktop"}, Action::ask, true, {}, u""},
      {{u"a.json"}, Action::convert, false, {u"a.json"}, u""},
      {{u"a.json", u"--desktop", u"b.json"}, Action::convert, true, {u"a.json", u"b.json"}, u""},
      {{u"--help"}, Action::help, false, {}, u""},
      {{u"a.json", u"--version"}, Action::version, false, {u"a.json"}, u""},
      {{u"--colour"}, Action::unknownOption, false, {}, u"--colour"},
      {{u"-h"}, Action::unknownOption, false, {}, u"-h"},
      {{u"a.json", u"-x"}, Action::unknownOption, false, {u"a.json"}, u"-x"},
      // "--" ends the options; "-" alone is a name.
      {{u"--", u"-x.json", u"--help"}, Action::convert, false, {u"-x.json", u"--help"}, u""},
      {{u"-"}, Action::convert, false, {u"-"}, u""},
  };
  for (const Case& c : cases) {
    const Invocation invocation = parseCommandLine(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : std::string(c.arguments[0].begin(), c.arguments[0].end());
    EXPECT_EQ(invocation.action, c.action) << shown;
    EXPECT_EQ(invocation.desktop, c.desktop) << shown;
    EXPECT_EQ(invocation.files, c.files) << shown;
    EXPECT_EQ(invocation.unknownOption, c.unknown) << shown;
  }
}

}  // namespace
}  // namespace tintgrove
