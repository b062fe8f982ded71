// A proven lower bound on the size of the JPEG file ImageFile writes at a given quality, without
// encoding it. The DCT coefficients are computed once (JpegCoefficients); each quality then only
// quantises them (with the library's own tables and reciprocal rounding) and counts Huffman symbols. The bound is the
// file's fixed markers, its Huffman table markers and the entropy-coded bits under an unrestricted optimal Huffman
// code, which no real code beats; only the stuffed zero bytes after 0xFF are left out.
//
// The model is checked against the quality-100 file: every coefficient and the table markers must
// match. If anything differs (another library build), the floor is 0 and nothing is skipped.
#pragma once

#include "imaging/codecs/JpegCoefficients.h"

#include <QtCore/QByteArray>
#include <QtGui/QImage>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class JpegSizeFloor
{
  public:
    // Transforms `image` (Format_RGB888), the picture as encoded. The floors are 0 until check().
    explicit JpegSizeFloor(const QImage& image);

    // Checks the model against the picture's file at quality 100, 4:2:0; true when it holds.
    bool check(const QByteArray& fileAt100);
    // The same check, finished in the background: the first exceeds() counts qualities meanwhile
    // and waits for the verdict before it proves anything.
    void startCheck(const QByteArray& fileAt100);
    bool valid() const { return valid_; } // the verdict of a finished check
    // No file at `quality` (1..100) is smaller than this.
    qint64 floor(int quality);
    // True when the file at `quality` is proven larger than `limit`. Counting stops as soon as that
    // is certain; a few lower qualities, down to `lowest`, are done ahead on a second thread.
    bool exceeds(int quality, qint64 limit, int lowest = 1);
    // False, and no floors from then on, when a file really encoded at `quality` came out smaller
    // than its floor: the model does not fit this library after all.
    bool agrees(int quality, qint64 encodedSize);

  private:
    struct Tally; // symbol counts of one quality

    bool matchesFile(const QByteArray& file);
    bool coefficientsMatch(const QByteArray& file);
    Tally tally(int quality, qint64 stopAbove) const;
    qint64 bound(const Tally& tally) const;
    qint64 codedBound(const Tally& tally, uint64_t bits) const;
    qint64 symbolFloor(uint64_t bits) const;
    void computeBatch(int top, int count, qint64 limit);
    void countQuality(int quality, qint64 limit);
    void awaitCheck();
    void countWhileChecking(int top, qint64 limit, int lowest);

    JpegCoefficients coefficients_;
    std::array<std::array<uint16_t, 64>, 101> lumaTables_{}, chromaTables_{}; // per quality, zig-zag
    qint64 fixedBytes_ = 0;
    bool tablesMade_ = false, valid_ = false;
    std::array<qint64, 101> proven_{}; // the best floor known per quality
    std::array<bool, 101> complete_{}; // proven_ is the full floor, not one cut short
    int batch_ = 2;

    // The comparison of the coefficients with the quality-100 file, on a second thread.
    QByteArray fileAt100_;
    bool pending_ = false;           // under way, and the markers matched
    bool coefficientsAgree_ = false; // the comparison's verdict, once compared_
    std::atomic<bool> compared_{false};
    std::jthread comparing_; // last: joined before the members it uses go
};
