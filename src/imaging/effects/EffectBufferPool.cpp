#include "imaging/effects/EffectBufferPool.h"

#include <cstdlib>
#include <mutex>
#include <new>

#include <sys/mman.h>

namespace {

constexpr size_t hugePage = size_t(2) << 20;

// The kept buffers: one for each picture being worked on at once (a batch runs one per core). Never
// destroyed, so an image freed during shutdown can still hand its buffer back.
struct Spare
{
    static constexpr int count = 2;
    std::mutex lock;
    void* memory[count] = {};
    size_t bytes[count] = {};
    int newest = 0;
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
        for (int i = 0; i < Spare::count; ++i)
            if (s.memory[i] && s.bytes[i] == bytes) {
                void* memory = s.memory[i];
                s.memory[i] = nullptr;
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
        // An empty place first; otherwise the older of the kept buffers makes way for this one.
        int place = -1;
        for (int i = 0; i < Spare::count && place < 0; ++i)
            if (!s.memory[i])
                place = i;
        if (place < 0)
            place = (s.newest + 1) % Spare::count;
        std::swap(unwanted, s.memory[place]);
        s.bytes[place] = block->bytes;
        s.newest = place;
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
