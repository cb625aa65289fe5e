#include "pictures.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

namespace zt {

HBITMAP LoadBitmapResource(HINSTANCE instance, const char* name) {
  return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP LoadJpegResource(HINSTANCE instance, const char* name) {
  HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return nullptr;
  const DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;

  // The picture loader reads from a stream; the stream owns this copy.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  std::memcpy(GlobalLock(copy), bytes, size);
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HRESULT loaded_picture = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded_picture) || !picture) return nullptr;

  // The picture object owns its bitmap; keep a copy that outlives it.
  HBITMAP result = nullptr;
  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle))) {
    result = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  picture->Release();
  return result;
}

}  // namespace zt
