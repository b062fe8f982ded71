// Lays one picture over another with a see-through key colour.
#pragma once

#include <QtCore/QPoint>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QImage>

class LayerCompositor
{
  public:
    static constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

    // Lays `overlay` on `base` with its top-left corner at (x, y). Overlay pixels equal to `keyColor` (RGB only)
    // let the base show through; the others cover it with opacity level / 255. With `clip` the result has the
    // base's size; without, it grows to hold the whole overlay and `background` fills what neither picture covers.
    // The result is Format_RGB888. Returns a null image and sets `error` on failure.
    static QImage layer(const QImage& base, const QImage& overlay, int x, int y, QRgb keyColor, int level = 255,
                        QColor background = Qt::white, bool clip = false, QString* error = nullptr);

    // Draws `overlay` into `target` at `at`, clipped to the target. With `keyed`, pixels of `keyColor` are
    // skipped. A target in another format becomes Format_RGB888 first.
    static void overlayKeyed(QImage& target, const QImage& overlay, QPoint at, bool keyed, QRgb keyColor,
                             int level = 255);
};
