// ZSoft PCX files, read with our own code: 1 bit, 4 bits as one plane of nibbles or four planes of
// one bit (up to four one-bit planes in general), 8 bits with the 256-colour palette at the end of
// the file, and 24 bits as three planes. Every header field is treated as hostile.
#pragma once

#include "imaging/codecs/CodecTypes.h"

class PcxCodec
{
  public:
    static bool matches(const QByteArray& bytes);
    static DecodedImage decode(const QByteArray& bytes);
};
