// Embedded image files found by resource number: bitmaps and icon groups. The program's resources
// provide them.
#pragma once

#include <cstdint>
#include <span>

// The bytes of one embedded file. They lie in the program's read-only data and stay valid for
// the whole run; empty for a number that names no such resource.
using ResourceBytes = std::span<const std::uint8_t>;

// A whole BMP file: file header, 40-byte info header, uncompressed rows stored bottom-up.
ResourceBytes FindBitmapResource(int id);
// A whole ICO file with the group's images, largest first, each a 32-bit image with alpha.
ResourceBytes FindIconResource(int id);
