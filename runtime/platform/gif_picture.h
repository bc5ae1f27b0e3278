// The first image of a GIF file, decoded by the runtime's own reader: every
// block, colour table and code is checked against the bytes that are really
// there, so a damaged or hostile file is refused instead of read out of
// bounds. (The general picture library's GIF loader was found by fuzzing to
// free memory it never allocated on damaged files.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform {

// The first image's pixels as RGBA, top row first. A colour the file marks
// transparent gets alpha 0 and makes picture.transparent true. Sides above
// largestSide are refused before anything is allocated. False, with the
// reason in *why, when the file cannot be read.
bool DecodeGifFirstImage(const std::uint8_t* bytes, std::size_t size, int largestSide, DecodedPicture& picture,
                         std::string* why);

}  // namespace platform
