// The working set of one effect call: the 24-bit input, the result being written and the area it may change.
#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <array>
#include <cstdint>
#include <optional>

using EffectCorners = std::array<int, 4>;

class EffectRegion
{
  public:
    // The rectangle spanned by the corners (inclusive) clipped to the image. Fails with `error` set when the
    // input is null, nothing of the rectangle lies inside, or memory for the result runs out.
    static std::optional<EffectRegion> open(const QImage& image, const EffectCorners& xs, const EffectCorners& ys,
                                            QString* error);
    static std::optional<EffectRegion> whole(const QImage& image, QString* error);

    // The rectangle the corners span, clipped to `size`; empty when it misses.
    static QRect clip(const QSize& size, const EffectCorners& xs, const EffectCorners& ys);
    static QImage fail(QString* error, const QString& message);

    QRect area() const { return area_; }
    int width() const { return source_.width(); }
    int height() const { return source_.height(); }
    const uint8_t* sourceRow(int y) const { return sourceBits_ + static_cast<qsizetype>(y) * sourceStride_; }
    uint8_t* resultRow(int y) { return resultBits_ + static_cast<qsizetype>(y) * resultStride_; }
    qsizetype resultStride() const { return resultStride_; }
    QImage take() { return std::move(result_); }

    // Pixels area.left() - pad … area.right() + pad of row y, both clamped to the image (edge pixels repeat),
    // into `out` ((area.width() + 2 * pad) * 3 bytes).
    void loadPadded(int y, int pad, uint8_t* out) const;

  private:
    EffectRegion(QImage source, QImage result, QRect area);
    void copyOutside();

    QImage source_;
    QImage result_;
    QRect area_;
    const uint8_t* sourceBits_ = nullptr;
    uint8_t* resultBits_ = nullptr;
    qsizetype sourceStride_ = 0;
    qsizetype resultStride_ = 0;
};
