#include "imaging/codecs/BmpRleCodec.h"

namespace {

// Writes pixels from the bottom row up, as the file stores them, dropping whatever falls outside.
class RleCursor
{
  public:
    RleCursor(QImage& image, const QRgb* palette) : image_(image), palette_(palette) {}

    void put(int index)
    {
        if (x_ < image_.width() && y_ < image_.height()) {
            const QRgb c = palette_[index];
            uchar* p = image_.scanLine(int(image_.height() - 1 - y_)) + 3 * x_;
            p[0] = uchar(qRed(c)), p[1] = uchar(qGreen(c)), p[2] = uchar(qBlue(c));
        }
        ++x_;
    }
    void nextLine() { x_ = 0, ++y_; }
    void move(int dx, int dy) { x_ += dx, y_ += dy; }
    bool pastEnd() const { return y_ >= image_.height(); }
    bool onLastRow() const { return y_ >= image_.height() - 1; }

  private:
    QImage& image_;
    const QRgb* palette_;
    qint64 x_ = 0;
    qint64 y_ = 0;
};

} // namespace

QString BmpRleCodec::decode(const uchar* data, qint64 size, int bpp, const QRgb* palette, QImage& image)
{
    image.fill(0);
    RleCursor cursor(image, palette);
    qint64 pos = 0;
    // Every pass consumes at least two bytes, so the loop ends on any input.
    while (pos + 2 <= size && !cursor.pastEnd()) {
        const int count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) { // a run of one value (RLE4: two alternating nibbles)
            for (int i = 0; i < count; ++i)
                cursor.put(bpp == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
            continue;
        }
        if (value == 0) {
            cursor.nextLine();
        } else if (value == 1) {
            return {};
        } else if (value == 2) {
            if (pos + 2 > size)
                break;
            cursor.move(data[pos], data[pos + 1]);
            pos += 2;
        } else { // literal pixels, padded to a 16-bit boundary
            const qint64 bytes = bpp == 8 ? value : (value + 1) / 2;
            if (pos + bytes > size)
                break;
            for (int i = 0; i < value; ++i)
                cursor.put(bpp == 8 ? data[pos + i] : (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 0x0F));
            pos += bytes + (bytes & 1);
        }
    }
    if (!cursor.pastEnd() && !cursor.onLastRow())
        return QStringLiteral("the run-length pixel data ends before the picture is complete");
    return {};
}
