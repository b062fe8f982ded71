// Rows of a picture handed from the thread that decodes it to one that works on them meanwhile.
// The decoder publishes how many of the picture's rows are final; the reader waits for the rows it
// needs and sees them through a view of the picture's own memory, copied nowhere.
#pragma once

#include <QtGui/QImage>

#include <condition_variable>
#include <limits>
#include <mutex>

class RowFeed
{
  public:
    // The decoder: the first `rows` rows of the picture at `bits` are final. Its memory stays until
    // the readers are done: whoever frees it first retires the feed.
    void publish(const uchar* bits, qsizetype bytesPerLine, QSize size, int rows);
    // No more rows will come, whole or not; wakes the readers.
    void close();
    // Closes the feed and waits until no reader holds a view of the picture.
    void retire();

    // A reader: waits for the picture's first publication; a null view when the feed was closed
    // before any, or the picture is not RGB rows of the expected size. A view must be released.
    QImage waitForPicture(QSize expected);
    // Waits until `rows` rows are final; false when the feed closed short of them.
    bool waitForRows(int rows);
    // The reader is done with its view.
    void release();

  private:
    // Sleeps until woken, having said how many rows would do.
    void waitFor(std::unique_lock<std::mutex>& lock, int rows);

    std::mutex mutex_;
    std::condition_variable changed_;
    const uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    QSize size_;
    int rows_ = 0;
    bool closed_ = false;
    bool retired_ = false;                         // the picture's memory is going: no more views
    int readers_ = 0;                              // views handed out and not yet released
    int wanted_ = std::numeric_limits<int>::max(); // the fewest rows a sleeping reader waits for
};
