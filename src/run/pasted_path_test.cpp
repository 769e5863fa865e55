#include "run/pasted_path.h"

#include <gtest/gtest.h>

namespace tintgrove {
namespace {

TEST(PastedPathTest, WhatPeoplePasteBecomesThePath) {
  struct Case {
    const char* answer;
    const char* path;
  };
  const Case cases[] = {
      {"/g/sunset.json", "/g/sunset.json"},
      {"sunset.json", "sunset.json"},
      {"'/g/my sunset.json'", "/g/my sunset.json"},
      {"\"/g/my sunset.json\"", "/g/my sunset.json"},
      {"  '/g/a.json'  ", "/g/a.json"},
      {"'/g/a.json\"", "'/g/a.json\""},  // quotes that do not pair stay
      {"\"", "\""},
      {"\"\"", ""},
      {"~/grads/a.json", "/home/ann/grads/a.json"},
      {"'~/grads/a.json'", "/home/ann/grads/a.json"},
      {"~ann/a.json", "~ann/a.json"},
      {"/g/~/a.json", "/g/~/a.json"},
      {"file:///g/my%20sunset.json", "/g/my sunset.json"},
      {"'file:///g/gr%C3%BCn.json'", "/g/gr\xC3\xBCn.json"},
      {"file://localhost/g/a.json", "/g/a.json"},
      {"file://elsewhere/g/a.json", "file://elsewhere/g/a.json"},
      {"file:///g/100%.json", "/g/100%.json"},
      {"file:///g/a%2", "/g/a%2"},
      {"file:///g/a%zz.json", "/g/a%zz.json"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pastedPath(c.answer, "/home/ann"), c.path) << c.answer;
  }
  EXPECT_EQ(pastedPath("~/a.json", "/"), "/a.json");
  EXPECT_EQ(pastedPath("~/a.json", ""), "~/a.json");
}

}  // namespace
}  // namespace tintgrove
