#include "element_set.h"

#include <algorithm>
#include <cstring>

namespace zt {

bool ElementSetCheck::ChecksumOk(const std::string& line) {
  if (line.size() < kKept) return false;
  int sum = 0;
  for (std::size_t i = 0; i + 1 < kKept; ++i) {
    char c = line[i];
    if (c >= '0' && c <= '9') sum += c - '0';
    else if (c == '-') sum += 1;
  }
  char check = line[kKept - 1];
  return check >= '0' && check <= '9' && sum % 10 == check - '0';
}

bool ElementSetCheck::ElementLine(char number) const {
  return length_ >= kKept && line_[0] == number && line_[1] == ' ' && ChecksumOk(line_);
}

void ElementSetCheck::EndLine() {
  switch (expect_) {
    case Expect::NameOrLine1:
    case Expect::Line1:
      if (ElementLine('1')) {
        catalogue_ = line_.substr(2, 5);
        expect_ = Expect::Line2;
      } else if (expect_ == Expect::Line1) {
        failed_ = true;  // two name lines in a row, or a broken line 1
      } else {
        expect_ = Expect::Line1;
      }
      break;
    case Expect::Line2:
      if (ElementLine('2') && line_.compare(2, 5, catalogue_) == 0) {
        ++pairs_;
        expect_ = Expect::NameOrLine1;
      } else {
        failed_ = true;
      }
      break;
  }
  line_.clear();
  length_ = 0;
}

void ElementSetCheck::Append(const char* data, std::size_t size) {
  if (line_.size() < kKept) line_.append(data, std::min(size, kKept - line_.size()));
  length_ += size;
}

// Works a line segment at a time rather than a byte at a time: the body can
// be large, and only the first kKept characters of each line matter.
void ElementSetCheck::Feed(const char* data, std::size_t size) {
  const char* p = data;
  const char* const end = data + size;
  while (p < end && !failed_) {
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf != nullptr ? lf : end;
    if (stop > p) {
      if (pending_cr_) Append("\r", 1);  // that CR was not followed by LF
      std::size_t n = static_cast<std::size_t>(stop - p);
      // A CR at the segment's end may be the CR of a CR LF: held back until
      // the next byte shows which.
      pending_cr_ = p[n - 1] == '\r';
      if (pending_cr_) --n;
      Append(p, n);
    }
    if (lf == nullptr) break;
    pending_cr_ = false;
    EndLine();
    p = lf + 1;
  }
}

bool ElementSetCheck::Accepted() {
  // Lines end with LF or CR LF: an unterminated tail is not a line of a set.
  return !failed_ && pairs_ > 0 && expect_ == Expect::NameOrLine1 && length_ == 0 && !pending_cr_;
}

}  // namespace zt
