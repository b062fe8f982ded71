// The properties every picture reader's result has, whatever the input: a picture within the size
// limit or a reason, never both, and the picture in one of the two formats the workspace takes.
#pragma once

#include "FuzzCheck.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/ImageLimits.h"

inline void checkDecoded(const DecodedImage& decoded)
{
    FUZZ_CHECK(decoded.ok() != !decoded.error.isEmpty());
    if (decoded.ok()) {
        FUZZ_CHECK(decoded.bitCount > 0);
        FUZZ_CHECK(ImageLimits::allows(decoded.image.width(), decoded.image.height()));
        FUZZ_CHECK(decoded.image.format() == QImage::Format_RGB888 || decoded.image.format() == QImage::Format_ARGB32);
    }
}
