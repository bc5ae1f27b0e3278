// Saving the drawing area as a 24-bit BMP file (platform-internal).
#pragma once

namespace platform {

// Reads the current drawing area (width x height from the lower-left corner)
// and writes it to path; false when the file cannot be written.
bool SaveDrawingArea(const char* path, int width, int height);

// KV_FRAME_CHECKSUMS=file: one line "<frame> <checksum>" per presented
// frame, for comparing two runs picture by picture (a recorded run and its
// replay). Does nothing without the variable.
void WriteFrameChecksum(long frame, int width, int height);

}  // namespace platform
