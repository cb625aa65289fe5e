// <windows.h> and <wininet.h> for files that also see the Platform
// interface: their macros would rename its methods (CopyFile ->
// CopyFileA, ...), so they are taken back here. Call the ANSI functions by
// their ...A names.
#pragma once

#include <windows.h>
#include <wininet.h>

#undef CopyFile
#undef CreateFile
#undef DeleteFile
#undef MoveFile
#undef ReplaceFile
#undef SetCurrentDirectory
#undef InternetOpen
#undef InternetOpenUrl
