#pragma once
// How many bytes of coded picture data a JPEG file holds: the entropy-coded bytes of all its
// scans, without headers, tables or comments. With Huffman coding every block of every component
// costs at least one bit in its first scan, so a file with fewer data bits than blocks cannot hold
// the picture its header declares; a decoder would still take the memory for all of them.
#include <QtCore/QByteArray>

class JpegDataBudget
{
  public:
    // The entropy-coded bytes of every scan; a stuffed 0xFF 0x00 counts as one byte.
    static qint64 codedBytes(const QByteArray& file);
    // Whether the coded bytes can hold this many blocks.
    static bool canHold(qint64 codedBytes, qint64 blocks) { return codedBytes * 8 >= blocks; }
};
