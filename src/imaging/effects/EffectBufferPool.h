// Memory for large pictures: effect results and decoded photos. Fresh pages cost the kernel a zeroing pass and a
// fault each, which for a 36 MB picture takes longer than a whole tone change, and for a 24-megapixel photo a third
// of its decoding; so the last two released buffers (one per picture a batch works on at once) are kept for the
// next, and new buffers are advised onto huge pages.
#pragma once

#include <QtGui/QImage>

#include <cstddef>

class EffectBufferPool
{
  public:
    // A 24-bit image whose pixels are undefined, or a null image when memory runs out. Small images come from
    // QImage itself.
    static QImage blankImage(int width, int height);

  private:
    struct Block
    {
        void* memory;
        size_t bytes;
    };

    static void* take(size_t bytes);
    static void give(void* block);
};
