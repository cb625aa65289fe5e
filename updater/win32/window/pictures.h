// The window's pictures, taken from the program's resources.
#pragma once

#include <windows.h>

namespace zt {

// Owns one GDI object and deletes it at the end of its scope.
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(HGDIOBJ object) : object_(object) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.object_;
      other.object_ = nullptr;
    }
    return *this;
  }
  ~GdiObject() { Reset(); }
  HGDIOBJ get() const { return object_; }
  void Reset() {
    if (object_) DeleteObject(object_);
    object_ = nullptr;
  }

 private:
  HGDIOBJ object_ = nullptr;
};

// The bitmap resource `name`, or null when it is missing.
HBITMAP LoadBitmapResource(HINSTANCE instance, const char* name);
// The JPEG held by RCDATA resource `name`, decoded by OLE's picture loader
// into a bitmap of its own size; null when it is missing or can't be decoded.
HBITMAP LoadJpegResource(HINSTANCE instance, const char* name);

}  // namespace zt
