// Recognises a body of two-line element sets while it streams in, so that a
// download that is no element set (an error page, a captive portal, a "no
// data" text, nothing at all) is never stored. Memory stays constant
// whatever the body's size: only the first 69 characters of the line being
// read and the last line 1's catalogue number are kept.
#pragma once

#include <cstddef>
#include <string>

namespace zt {

class ElementSetCheck {
 public:
  // Feeds the next bytes of the body.
  void Feed(const char* data, std::size_t size);
  // True when the whole body fed so far is one or more element pairs, each
  // preceded by at most one name line, and nothing else.
  bool Accepted();
  std::size_t pairs() const { return pairs_; }

  // Column 69 of an element line holds the sum, modulo 10, of columns 1 to
  // 68: digits count their value, "-" counts 1, anything else 0.
  static bool ChecksumOk(const std::string& line);

 private:
  enum class Expect { NameOrLine1, Line1, Line2 };
  static constexpr std::size_t kKept = 69;

  void Append(const char* data, std::size_t size);
  void EndLine();
  bool ElementLine(char number) const;

  Expect expect_ = Expect::NameOrLine1;
  bool failed_ = false;
  std::size_t pairs_ = 0;
  std::string line_;          // the first kKept characters of the current line
  std::size_t length_ = 0;    // the current line's full length
  bool pending_cr_ = false;   // a CR that may turn out to end the line
  std::string catalogue_;     // catalogue number of the last line 1
};

}  // namespace zt
