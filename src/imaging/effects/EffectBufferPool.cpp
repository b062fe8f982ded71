#include "imaging/effects/EffectBufferPool.h"

#include <cstdlib>
#include <mutex>
#include <new>

#include <sys/mman.h>

namespace {

constexpr size_t hugePage = size_t(2) << 20;

// The one kept buffer. Never destroyed, so an image freed during shutdown can still hand its buffer back.
struct Spare
{
    std::mutex lock;
    void* memory = nullptr;
    size_t bytes = 0;
};

Spare& spare()
{
    static auto* kept = new Spare;
    return *kept;
}

} // namespace

void* EffectBufferPool::take(size_t bytes)
{
    {
        Spare& s = spare();
        const std::lock_guard guard(s.lock);
        if (s.memory && s.bytes == bytes) {
            void* memory = s.memory;
            s.memory = nullptr;
            return memory;
        }
    }
    void* memory = std::aligned_alloc(hugePage, bytes);
    if (memory)
        madvise(memory, bytes, MADV_HUGEPAGE); // only a hint: without it the pages are ordinary
    return memory;
}

void EffectBufferPool::give(void* info)
{
    auto* block = static_cast<Block*>(info);
    void* unwanted = block->memory;
    {
        Spare& s = spare();
        const std::lock_guard guard(s.lock);
        std::swap(unwanted, s.memory); // keep the newest, free the one it replaces
        s.bytes = block->bytes;
    }
    std::free(unwanted);
    delete block;
}

QImage EffectBufferPool::blankImage(int width, int height)
{
    const qsizetype stride = (static_cast<qsizetype>(width) * 3 + 3) & ~qsizetype(3);
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    if (bytes < 2 * hugePage)
        return QImage(width, height, QImage::Format_RGB888);
    const size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
    void* memory = take(rounded);
    if (!memory)
        return {};
    auto* block = new (std::nothrow) Block{memory, rounded};
    if (!block) {
        std::free(memory);
        return {};
    }
    return QImage(static_cast<uchar*>(memory), width, height, stride, QImage::Format_RGB888, &EffectBufferPool::give,
                  block);
}
