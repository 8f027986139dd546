#include <gtest/gtest.h>

#include "core/module_reg_api.h"

namespace brevak {
namespace {
using namespace std::string_literals;
using Items = std::vector<std::u16string>;

TEST(SplitMultiSzTest, OneItemPerNulButTheLast) {
  struct Case { std::u16string raw; Items items; };
  const Case cases[] = {
      {u"a\0b\0\0"s, {u"a", u"b"}},
      {u"a\0b\0\0\0\0"s, {u"a", u"b", u"", u""}},
      {u"\0\0"s, {u""}},
      {u"\0"s, {}},
      {u"abc"s, {}},  // no NUL: no item, and no failure
      {u""s, {}},
      {u"中文\0名\0\0"s, {u"中文", u"名"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitMultiSz(c.raw), c.items);
}

}  // namespace
}  // namespace brevak
