#include "wine_ado/ado_wire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevak::wine_ado {
namespace {

TEST(AdoWireTest, SelectStatementsAreTheOnesThatStartWithSelect) {
  struct Case { const char* statement; bool select; };
  const Case cases[] = {
      {"select count(*) from [CarOwner]", true}, {"  SELECT count(*) from main", true},
      {"Select*From x", true},                    {"select", true},
      {"selection", false},                       {"delete from [select]", false},
      {"Insert into [T] Select * From [;database=C:\\b.car;].T", false}, {"", false}, {"selec", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSelectStatement(c.statement), c.select) << c.statement;
}

TEST(AdoWireTest, FramesReadBackAsWrittenAndTooLongOnesAreRefused) {
  const std::vector<std::string> texts = {"Execute", "", std::string(70000, 'x') + "表"};
  std::string wire;
  for (const std::string& text : texts) AppendFrame(wire, text);
  AppendFrame(wire, "cut short");
  wire.resize(wire.size() - 1);
  size_t at = 0;
  const auto read = [&](char* buffer, size_t bytes) {
    if (wire.size() - at < bytes) return false;
    wire.copy(buffer, bytes, at);
    at += bytes;
    return true;
  };
  std::string text;
  for (const std::string& expected : texts) {
    ASSERT_TRUE(ReadFrame(read, &text));
    EXPECT_EQ(text, expected);
  }
  EXPECT_FALSE(ReadFrame(read, &text));  // the connection ended inside the frame
  wire.assign("\x01\x00\x00\x01", 4);  // 16 MiB + 1
  at = 0;
  EXPECT_FALSE(ReadFrame(read, &text));
}

}  // namespace
}  // namespace brevak::wine_ado
