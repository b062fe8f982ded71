#include "imaging/codecs/RowFeed.h"

#include <algorithm>
#include <limits>

void RowFeed::publish(const uchar* bits, qsizetype bytesPerLine, QSize size, int rows)
{
    bool wanted = false;
    {
        const std::lock_guard lock(mutex_);
        if (closed_)
            return;
        bits_ = bits;
        bytesPerLine_ = bytesPerLine;
        size_ = size;
        rows_ = rows;
        // Readers are woken only when one of them has what it waits for: the decoder is not kept
        // waking threads that go back to sleep.
        wanted = rows_ >= wanted_;
        if (wanted)
            wanted_ = std::numeric_limits<int>::max();
    }
    if (wanted)
        changed_.notify_all();
}

void RowFeed::close()
{
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

void RowFeed::retire()
{
    std::unique_lock lock(mutex_);
    closed_ = retired_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return readers_ == 0; });
}

QImage RowFeed::waitForPicture(QSize expected)
{
    std::unique_lock lock(mutex_);
    while (!bits_ && !closed_)
        waitFor(lock, 1);
    if (!bits_ || retired_ || size_ != expected)
        return {};
    ++readers_;
    return QImage(bits_, size_.width(), size_.height(), bytesPerLine_, QImage::Format_RGB888);
}

void RowFeed::release()
{
    {
        const std::lock_guard lock(mutex_);
        --readers_;
    }
    changed_.notify_all();
}

bool RowFeed::waitForRows(int rows)
{
    std::unique_lock lock(mutex_);
    if (retired_)
        return false;
    if (rows_ >= rows)
        return true;
    // Once it has to wait, the reader waits for a few decoder steps more: woken once for them all.
    const int enough = std::min(rows + 48, std::max(rows, size_.height()));
    while (rows_ < enough && !closed_)
        waitFor(lock, enough);
    return !retired_ && rows_ >= rows;
}

void RowFeed::waitFor(std::unique_lock<std::mutex>& lock, int rows)
{
    wanted_ = std::min(wanted_, rows);
    changed_.wait(lock);
}
