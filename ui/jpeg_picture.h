// JPEG data decoded into a bitmap that a static control can show.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// A top-down 24-bit DIB section, or null when the data is not a whole,
// decodable JPEG (a bad or truncated picture stays empty).
HBITMAP DecodeJpegToBitmap(const uint8_t* data, size_t size);

// The RCDATA resource of the UI module decoded the same way and, when
// scaledTo is given, resampled to that size; null when the module does not
// carry it.
HBITMAP LoadJpegResource(int resourceId, SIZE scaledTo = SIZE{0, 0});
