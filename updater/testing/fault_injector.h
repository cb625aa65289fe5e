// Fails the Nth platform operation that can fail (files, folders, copies,
// renames, text I/O, internet calls), once or for every operation from the
// Nth on, so that a test can walk a fault through every step of a flow.
#pragma once

#include "platform.h"

namespace zt {

class FaultInjector : public PlatformWrapper {
 public:
  explicit FaultInjector(Platform& target) : PlatformWrapper(target) {}

  // Fails operation n (counted from 1 from now on); with persistent, every
  // operation after it too. error is the system code failing calls report.
  void FailAt(long n, bool persistent, int error = kErrorNotReady) {
    countdown_ = n;
    persistent_ = persistent;
    error_ = error;
    seen_ = failures_ = 0;
  }
  void Off() { countdown_ = 0, persistent_ = false; }
  long seen() const { return seen_; }          // operations since FailAt
  long failures() const { return failures_; }  // operations failed since FailAt

  // Attribute queries count only when asked for: a failing query reads as
  // "no such file", which is no fault the program can notice.
  bool fail_queries = false;
  std::uint32_t FileAttributes(const std::string& p) override {
    return fail_queries && Fail() ? kInvalidAttributes : target().FileAttributes(p);
  }
  bool CreateFolder(const std::string& p) override { return !Fail() && target().CreateFolder(p); }
  bool CopyFile(const std::string& f, const std::string& t) override {
    return !Fail() && target().CopyFile(f, t);
  }
  bool DeleteFile(const std::string& p) override { return !Fail() && target().DeleteFile(p); }
  bool MoveFile(const std::string& f, const std::string& t) override {
    return !Fail() && target().MoveFile(f, t);
  }
  bool ReplaceFile(const std::string& f, const std::string& t) override {
    return !Fail() && target().ReplaceFile(f, t);
  }
  int SetCurrentDirectory(const std::string& p) override {
    return Fail() ? error_ : target().SetCurrentDirectory(p);
  }
  int FindFiles(const std::string& m, std::vector<FoundFile>& found) override {
    return Fail() ? error_ : target().FindFiles(m, found);
  }
  int OpenRead(const std::string& p, Handle& f) override {
    return Fail() ? error_ : target().OpenRead(p, f);
  }
  int CreateFile(const std::string& p, Handle& f) override {
    return Fail() ? error_ : target().CreateFile(p, f);
  }
  int ReadFile(Handle f, void* b, std::size_t n, std::size_t& got) override {
    return Fail() ? error_ : target().ReadFile(f, b, n, got);
  }
  int WriteFile(Handle f, const void* d, std::size_t n, std::size_t& written) override {
    return Fail() ? error_ : target().WriteFile(f, d, n, written);
  }
  // A failed close still releases the handle, as the system's close does.
  int CloseFile(Handle f) override {
    bool fail = Fail();
    int code = target().CloseFile(f);
    return fail ? error_ : code;
  }
  Handle InternetOpen(const std::string& a) override {
    return Fail() ? kNoHandle : target().InternetOpen(a);
  }
  Handle InternetOpenUrl(Handle i, const std::string& u) override {
    return Fail() ? kNoHandle : target().InternetOpenUrl(i, u);
  }
  bool InternetReadFile(Handle r, void* b, std::uint32_t n, std::uint32_t& got) override {
    return !Fail() && target().InternetReadFile(r, b, n, got);
  }

 private:
  bool Fail() {
    ++seen_;
    bool fail = countdown_ > 0 && (seen_ == countdown_ || (persistent_ && seen_ > countdown_));
    if (fail) ++failures_;
    return fail;
  }

  long countdown_ = 0;
  bool persistent_ = false;
  int error_ = kErrorNotReady;
  long seen_ = 0, failures_ = 0;
};

}  // namespace zt
