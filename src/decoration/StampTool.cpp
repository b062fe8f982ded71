#include "decoration/StampTool.h"

#include "decoration/DrawingLayers.h"
#include "decoration/StampPicture.h"
#include "foundation/Prompts.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"

#include <QtCore/QFileInfo>

StampTool::StampTool(DrawingLayers& layers, Prompts& prompts, QString folder)
    : layers_(layers), prompts_(prompts), folder_(std::move(folder))
{
}

bool StampTool::IkThumbStampSelectFile(const QString& fileName)
{
    const bool read = selectStampFile(folder_ + fileName);
    selectedFile_ = fileName;
    return read;
}

bool StampTool::selectStampFile(const QString& path)
{
    stamp_ = QImage();
    selectedFile_ = QFileInfo(path).fileName();
    const StampPicture::Loaded loaded = StampPicture::read(path);
    if (loaded.tooLarge)
        prompts_.message(
            MessageKind::Error,
            QStringLiteral(
                "このスタンプは大きすぎるため使えません。縦横 %1 ピクセル、%2 万画素までの画像にしてください。")
                .arg(StampPicture::MaxSide)
                .arg(StampPicture::MaxPixels / 10000));
    const QImage& picture = loaded.picture;
    if (picture.isNull())
        return false;
    StampSize = picture.size();
    stamp_ = picture;
    return true;
}

bool StampTool::placeInto(int left, int top, int right, int bottom, bool aspect, QString* error)
{
    layers_.ReleaseLayerPicture();
    // Format_RGB32 paints fastest; the layer takes it as 24 bits.
    QImage work(layers_.canvasSize(), QImage::Format_RGB32);
    work.fill(LayerKeyColor);
    // Without a readable stamp the layer becomes an empty picture.
    const bool drawn = stamp_.isNull() || ImagePrinter::imageOut(work, stamp_, left, top, right, bottom, aspect, error);
    layers_.InstallLayerPicture(work);
    return drawn;
}

void StampTool::PlaceStampAtSize(QPoint at)
{
    placeInto(at.x(), at.y(), at.x() + StampSize.width(), at.y() + StampSize.height(), true);
}

void StampTool::PlaceStampInRect(QPoint from, QPoint to, bool keepAspect)
{
    placeInto(from.x(), from.y(), to.x(), to.y(), keepAspect);
}

bool StampTool::place(QPoint from, QPoint to, bool keepAspect, QString* error)
{
    if (to == from)
        return placeInto(to.x(), to.y(), to.x() + StampSize.width(), to.y() + StampSize.height(), true, error);
    return placeInto(from.x(), from.y(), to.x(), to.y(), keepAspect, error);
}

bool StampTool::placeStamp(QPoint from, QPoint to, bool keepAspect, QString* error)
{
    const bool drawn = place(from, to, keepAspect, error);
    if (to != from && !selectedFile_.isEmpty())
        layers_.MarkDrawingPending();
    return drawn;
}

void StampTool::press(QPoint at, Qt::MouseButton)
{
    layers_.LastPoint = at;
}

void StampTool::move(QPoint at)
{
    place(layers_.LastPoint, at, prompts_.shiftDown());
}

void StampTool::release(QPoint at)
{
    placeStamp(layers_.LastPoint, at, prompts_.shiftDown());
}
