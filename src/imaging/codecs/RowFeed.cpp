#include "imaging/codecs/RowFeed.h"

#include <algorithm>

void RowFeed::publish(const uchar* bits, qsizetype bytesPerLine, QSize size, int rows)
{
    {
        const std::lock_guard lock(mutex_);
        if (closed_)
            return;
        bits_ = bits;
        bytesPerLine_ = bytesPerLine;
        size_ = size;
        rows_ = rows;
    }
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
    changed_.wait(lock, [this] { return bits_ || closed_; });
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
    changed_.wait(lock, [this, enough] { return rows_ >= enough || closed_; });
    return !retired_ && rows_ >= rows;
}
