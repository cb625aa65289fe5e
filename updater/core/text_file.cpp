#include "text_file.h"

#include "errors.h"

namespace zt {
namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr char kCtrlZ = '\x1A';

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

// --- TextReader ------------------------------------------------------------

TextReader::TextReader(Platform& platform, const std::string& path)
    : platform_(platform), buffer_(kBufferSize) {
  if (int code = platform_.OpenRead(path, file_)) throw IoError(code);
  open_ = true;
}

TextReader::~TextReader() {
  if (open_) platform_.CloseFile(file_);
}

bool TextReader::Fill() {
  if (pos_ < end_) return true;
  if (raw_end_) return false;
  std::size_t got = 0;
  if (int code = platform_.ReadFile(file_, buffer_.data(), buffer_.size(), got))
    throw IoError(code);
  pos_ = 0;
  end_ = got;
  if (got == 0) raw_end_ = true;
  return got > 0;
}

bool TextReader::Eof() { return !Fill() || buffer_[pos_] == kCtrlZ; }

std::string TextReader::ReadLine() {
  std::string line;
  while (Fill()) {
    char c = buffer_[pos_];
    if (c == kCtrlZ) break;  // stays unread: the end test reports the end here
    ++pos_;
    if (c == '\n') break;
    // A CR before the LF ends nothing; a CR before anything else is dropped.
    if (c != '\r') line += c;
  }
  return line;
}

void TextReader::Close() {
  open_ = false;
  if (int code = platform_.CloseFile(file_)) throw IoError(code);
}

// --- TextWriter ------------------------------------------------------------

TextWriter::TextWriter(Platform& platform, const std::string& path) : platform_(platform) {
  if (int code = platform_.CreateFile(path, file_)) throw IoError(code);
  open_ = true;
}

TextWriter::~TextWriter() { Abandon(); }

void TextWriter::Abandon() {
  if (open_) platform_.CloseFile(file_);
  open_ = false;
  buffer_.clear();
}

void TextWriter::Write(const std::string& text) {
  buffer_ += text;
  if (buffer_.size() >= kBufferSize) Flush();
}

void TextWriter::Flush() {
  if (buffer_.empty()) return;
  std::size_t written = 0;
  if (int code = platform_.WriteFile(file_, buffer_.data(), buffer_.size(), written))
    throw IoError(code);
  if (written != buffer_.size()) throw IoError(kIoDiskFull);
  buffer_.clear();
}

void TextWriter::Close() {
  Flush();
  open_ = false;
  if (int code = platform_.CloseFile(file_)) throw IoError(code);
}

// --- Whole files -------------------------------------------------------------

std::string FullPath(Platform& platform, const std::string& path) {
  bool absolute = (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
  if (absolute) return path;
  std::string dir = platform.CurrentDirectory();
  std::string rest = path;
  if (rest.size() >= 2 && rest[0] == '.' && IsSeparator(rest[1])) rest.erase(0, 2);
  if (!dir.empty() && !IsSeparator(dir.back())) dir += '\\';
  return dir + rest;
}

std::vector<std::string> LoadLines(Platform& platform, const std::string& path) {
  Platform::Handle file = Platform::kNoHandle;
  if (int code = platform.OpenRead(path, file))
    throw FileOpenError(FullPath(platform, path), platform.SystemErrorText(code));

  std::string text;
  std::vector<char> buffer(kBufferSize);
  for (;;) {
    std::size_t got = 0;
    if (int code = platform.ReadFile(file, buffer.data(), buffer.size(), got)) {
      platform.CloseFile(file);
      throw IoError(code);
    }
    if (got == 0) break;
    text.append(buffer.data(), got);
  }
  if (int code = platform.CloseFile(file)) throw IoError(code);

  std::vector<std::string> lines;
  std::size_t i = 0, n = text.find('\0');
  if (n == std::string::npos) n = text.size();
  while (i < n) {
    std::size_t start = i;
    while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
    lines.emplace_back(text, start, i - start);
    if (i < n && text[i++] == '\r' && i < n && text[i] == '\n') ++i;
  }
  return lines;
}

}  // namespace zt
