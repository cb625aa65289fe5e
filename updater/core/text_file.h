// Buffered 8-bit text files over the platform's raw files. Every open,
// create, read, write, end test and close is checked at once; a failure
// raises IoError with the system code at the step that failed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform.h"

namespace zt {

// Reads lines. A line ends at LF; a CR right before the LF is not part of
// it, and a CR followed by anything else is dropped while the line goes on.
// Byte 0x1A ends the file. A last line without terminator is still a line.
class TextReader {
 public:
  TextReader(Platform& platform, const std::string& path);  // raises IoError
  ~TextReader();  // closes a file still open, ignoring the result
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // The next line without its terminator; "" at the end of the file.
  std::string ReadLine();
  // True when nothing is left to read, or the next byte is 0x1A.
  bool Eof();
  void Close();

 private:
  // Makes sure a byte is buffered; false at the end of the raw file.
  bool Fill();

  Platform& platform_;
  Platform::Handle file_ = Platform::kNoHandle;
  bool open_ = false;
  bool raw_end_ = false;
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0;
};

// Writes text through a buffer. A write the platform cuts short raises the
// "Disk full" error.
class TextWriter {
 public:
  TextWriter(Platform& platform, const std::string& path);  // creates or truncates
  ~TextWriter();  // closes a file still open without flushing, ignoring errors
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void Write(const std::string& text);
  // Flushes and closes; raises on the first failure.
  void Close();
  // Closes without flushing and without raising; for clean-up after an error.
  void Abandon();

 private:
  void Flush();

  Platform& platform_;
  Platform::Handle file_ = Platform::kNoHandle;
  bool open_ = false;
  std::string buffer_;
};

// Reads a whole file into lines, as the language packs are read: CR LF, LF
// or a lone CR end a line, a NUL byte ends the text, and a break after the
// last line adds no empty line. A file that can't be opened raises
// FileOpenError with the path made full against the current directory.
std::vector<std::string> LoadLines(Platform& platform, const std::string& path);

// The path made full against the platform's current directory.
std::string FullPath(Platform& platform, const std::string& path);

}  // namespace zt
