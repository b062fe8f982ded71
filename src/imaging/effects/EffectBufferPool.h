// Memory for large effect results. Fresh pages cost the kernel a zeroing pass and a fault each, which for a
// 36 MB picture takes longer than a whole tone change; so the last released buffer is kept for the next result,
// and new buffers are advised onto huge pages.
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
