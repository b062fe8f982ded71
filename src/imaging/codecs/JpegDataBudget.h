#pragma once
// How many bytes of coded picture data a JPEG file holds: the entropy-coded bytes of all its
// scans, without headers, tables or comments. With Huffman coding every block of every component
// costs at least one bit in its first scan, so a file with fewer data bits than blocks cannot hold
// the picture its header declares; a decoder would still take the memory for all of them.
#include <QtCore/QByteArray>

#include <limits>

class JpegDataBudget
{
  public:
    // The entropy-coded bytes of every scan; a stuffed 0xFF 0x00 counts as one byte. Counting stops
    // at `enough`: a large photo need not be read through to know it holds its blocks.
    static qint64 codedBytes(const QByteArray& file, qint64 enough = std::numeric_limits<qint64>::max());
    // The fewest coded bytes that can hold this many blocks.
    static qint64 bytesFor(qint64 blocks) { return (blocks + 7) / 8; }
    // Whether the coded bytes can hold this many blocks.
    static bool canHold(qint64 codedBytes, qint64 blocks) { return codedBytes * 8 >= blocks; }
};
