#include "text_file.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "fixtures.h"

namespace zt {
namespace {

std::vector<std::string> ReadAll(Platform& p, const std::string& path) {
  TextReader in(p, path);
  std::vector<std::string> lines;
  while (!in.Eof()) lines.push_back(in.ReadLine());
  in.Close();
  return lines;
}

struct LineCase {
  const char* what;
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(TextReader, SplitsLinesByTheReadersRules) {
  const std::string long_line(10000, 'x');
  const std::string at_boundary(4095, 'y');  // its CR is the buffer's last byte
  const LineCase cases[] = {
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"lone CR dropped, line goes on", "a\rb\nc\n", {"ab", "c"}},
      {"CR before end of file", "a\r", {"a"}},
      {"last line without terminator", "a\nb", {"a", "b"}},
      {"empty lines", "\n\r\n", {"", ""}},
      {"Ctrl-Z ends the file", "a\nb\x1A" "c\nd\n", {"a", "b"}},
      {"Ctrl-Z first", "\x1A" "a\n", {}},
      {"empty file", "", {}},
      {"line longer than the buffer", long_line + "\r\nz", {long_line, "z"}},
      {"CR LF across the buffer's end", at_boundary + "\r\nz\n", {at_boundary, "z"}},
      {"8-bit bytes", "\xEF\xBB\xBF" "a\xB7\n", {"\xEF\xBB\xBF" "a\xB7"}},
  };
  Machine m;
  for (const auto& c : cases) {
    m.Write("D:\\t.txt", c.bytes);
    EXPECT_EQ(ReadAll(m.posix(), "D:\\t.txt"), c.lines) << c.what;
  }
}

TEST(TextReader, ReadingAtTheEndGivesAnEmptyLine) {
  Machine m;
  m.Write("D:\\t.txt", "abc\x1A" "def");
  TextReader in(m.posix(), "D:\\t.txt");
  EXPECT_EQ(in.ReadLine(), "abc");
  EXPECT_TRUE(in.Eof());
  EXPECT_EQ(in.ReadLine(), "");
  EXPECT_EQ(in.ReadLine(), "");
  EXPECT_TRUE(in.Eof());
}

TEST(TextReader, EveryFailingStepRaisesItsSystemCode) {
  Machine m;
  m.Write("D:\\t.txt", "a\nb\n");
  FaultInjector faults(m.posix());
  // open, first read (in the end test), close: the three operations of a read.
  for (long n = 1; n <= 3; ++n) {
    faults.FailAt(n, false, kErrorSharingViolation);
    try {
      ReadAll(faults, "D:\\t.txt");
      ADD_FAILURE() << "operation " << n << " failed silently";
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), kErrorSharingViolation) << n;
      EXPECT_STREQ(e.what(), "I/O error 32");
    }
  }
  faults.Off();
  try {
    ReadAll(faults, "D:\\missing.txt");
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

// Writes half of every request, as a full disk does.
class ShortWrites : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  int WriteFile(Handle f, const void* d, std::size_t n, std::size_t& written) override {
    return target().WriteFile(f, d, n / 2, written);
  }
};

TEST(TextWriter, WritesBytesAsGivenAndReportsFailuresAtTheirStep) {
  Machine m;
  {
    TextWriter out(m.posix(), "D:\\w.txt");
    out.Write("one\r\n");
    out.Write(std::string(10000, 'q'));
    out.Write("\n\xB7");
    out.Close();
  }
  EXPECT_EQ(m.Read("D:\\w.txt"), "one\r\n" + std::string(10000, 'q') + "\n\xB7");

  FaultInjector faults(m.posix());
  for (long n = 1; n <= 3; ++n) {  // create, write, close
    faults.FailAt(n, false, kErrorHandleDiskFull);
    try {
      TextWriter out(faults, "D:\\w.txt");
      out.Write("x");
      out.Close();
      ADD_FAILURE() << n;
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), kErrorHandleDiskFull) << n;
    }
  }
  faults.Off();

  ShortWrites short_writes(m.posix());
  try {
    TextWriter out(short_writes, "D:\\w.txt");
    out.Write("abcd");
    out.Close();
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), kIoDiskFull);
    EXPECT_STREQ(e.what(), "Disk full");
  }
  EXPECT_THROW(TextWriter(m.posix(), "Q:\\nowhere.txt"), IoError);
}

TEST(LoadLines, SplitsAtAnyBreakAndStopsAtNul) {
  const LineCase cases[] = {
      {"mixed breaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"no empty line after a final break", "a\r\n", {"a"}},
      {"empty line before the final break", "a\n\n", {"a", ""}},
      {"lone CR then LF", "a\r\rb", {"a", "", "b"}},
      {"NUL ends the text", std::string("a\nb\0c\nd\n", 8), {"a", "b"}},
      {"Ctrl-Z is a character here", "a\x1A" "b\n", {"a\x1A" "b"}},
      {"empty file", "", {}},
      {"only a break", "\r\n", {""}},
  };
  Machine m;
  for (const auto& c : cases) {
    m.Write("D:\\p.txt", c.bytes);
    EXPECT_EQ(LoadLines(m.posix(), "D:\\p.txt"), c.lines) << c.what;
  }
}

TEST(LoadLines, AFileThatCantBeOpenedNamesItsFullPath) {
  Machine m;
  m.MakeFolder("D:\\ZenTrovia\\languages");
  ASSERT_EQ(m.posix().SetCurrentDirectory("languages"), 0);
  try {
    LoadLines(m.posix(), "gone.txt");
    ADD_FAILURE();
  } catch (const FileOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"D:\\ZenTrovia\\languages\\gone.txt\". " +
                                         m.posix().SystemErrorText(kErrorFileNotFound));
  }
}

}  // namespace
}  // namespace zt
