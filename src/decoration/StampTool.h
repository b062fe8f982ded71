#pragma once
// The stamp page's canvas tool: a click shows the selected stamp at its own size, a drag fits it
// into the dragged rectangle (in proportion while Shift is held). Each placement replaces the
// working layer's picture; only a real drag with a stamp selected marks the drawing pending.
#include "decoration/CanvasTool.h"

#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtGui/QImage>

class DrawingLayers;
class Prompts;

class StampTool : public CanvasTool
{
  public:
    // `folder` is the stamp folder, ending with '/'.
    StampTool(DrawingLayers& layers, Prompts& prompts, QString folder);

    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }

    // A stamp was picked from the list: its picture is read and becomes the selected stamp. False
    // when the file is not a readable picture; the stamp is then empty and StampSize unchanged.
    bool IkThumbStampSelectFile(const QString& fileName);
    // The same for a picture file anywhere.
    bool selectStampFile(const QString& path);
    // The name, without folder, of the file last picked; empty while none was.
    const QString& selectedFile() const { return selectedFile_; }
    // The selected stamp in 24 bits, see-through parts in the key colour; null when none was read.
    const QImage& stamp() const { return stamp_; }
    QSize StampSize;

    void PlaceStampAtSize(QPoint at);
    void PlaceStampInRect(QPoint from, QPoint to, bool keepAspect);
    // A placement as a click (`to` == `from`: at its own size) or a drag ending at `to` places it,
    // leaving it for commit. False, with `error`, when the stamp could not be drawn there.
    bool placeStamp(QPoint from, QPoint to, bool keepAspect, QString* error = nullptr);

    void press(QPoint at, Qt::MouseButton button) override;
    void move(QPoint at) override;
    void release(QPoint at) override;

  private:
    bool place(QPoint from, QPoint to, bool keepAspect, QString* error = nullptr);
    bool placeInto(int left, int top, int right, int bottom, bool aspect, QString* error = nullptr);

    DrawingLayers& layers_;
    Prompts& prompts_;
    QString folder_;
    QString selectedFile_;
    QImage stamp_;
};
