#include "errors.h"

#include <gtest/gtest.h>

#include "model_view.h"
#include "principal.h"

namespace zt {
namespace {

TEST(Errors, IoErrorTexts) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {2, "File not found"},   {3, "Invalid filename"},        {4, "Too many open files"},
      {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}, {32, "I/O error 32"},     {112, "I/O error 112"},
  };
  for (const auto& c : cases) EXPECT_STREQ(IoError(c.code).what(), c.text) << c.code;
  EXPECT_STREQ(ListIndexError(27).what(), "List index out of bounds (27)");
  EXPECT_STREQ(FileOpenError("D:\\a b.txt", "Gone").what(), "Cannot open file \"D:\\a b.txt\". Gone");
}

TEST(Errors, DispatchReportsWithTheTitleAndTheFullStopRule) {
  const struct {
    std::string thrown, shown;
  } cases[] = {
      {"File not found", "File not found."},
      {"List index out of bounds (14)", "List index out of bounds (14)"},
      {"ends with a stop.", "ends with a stop."},
      {"ends with a dash -", "ends with a dash -"},   // '-' sorts before '.'
      {"ends with a slash/", "ends with a slash/."},  // '/' sorts after '.'
      {"ends in a high byte \xE9", "ends in a high byte \xE9."},
  };
  for (const auto& c : cases) {
    ModelView view;
    Dispatch(view, [&] { throw Error(c.thrown); });
    ASSERT_EQ(view.Errors().size(), 1u);
    EXPECT_EQ(view.Errors()[0].caption, "ZenTrovia Updater");
    EXPECT_EQ(view.Errors()[0].text, c.shown);
  }
  ModelView view;
  Dispatch(view, [&] { view.AppendLine("done"); });
  EXPECT_TRUE(view.Errors().empty());
}

}  // namespace
}  // namespace zt
