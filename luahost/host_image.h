// Host images: the pictures Lua scripts draw on and plug-ins compute over.
//
// An image is a full userdata whose block begins with the address of its
// Image record (effect/image.h), followed by the record itself and then the
// pixels, so one allocation owned by Lua's collector holds everything and a
// plug-in reaches the record through the block's first word.
#pragma once

#include <lua.hpp>

#include "image.h"

// Registers the global table `Image` (create) and the images' methods:
//   Image.create(width, height [, stride])  all pixels 0xFF000000
//   img:width() img:height() img:stride()
//   img:pixel(x, y)            -> the 32-bit pixel as a number
//   img:setPixel(x, y, value)  x counts columns, y rows, both from 0
//   img:fill(value)            every pixel of every row, padding included
//   img:save(path)             PNG (pixels read as 0xAARRGGBB); on failure
//                              returns nil and a message
// Coordinates outside the image and bad sizes raise Lua errors.
void open_host_images(lua_State* L);

// Pushes a new image of the given size; stride >= width. Returns its record.
Image* push_host_image(lua_State* L, int width, int height, int stride);

// The record of the image at stack index idx, or null when it is no host image.
Image* to_host_image(lua_State* L, int idx);
