#include "decoration/StampTool.h"

#include "decoration/DrawingLayers.h"
#include "decoration/StampPicture.h"
#include "foundation/Prompts.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"

StampTool::StampTool(DrawingLayers& layers, Prompts& prompts, QString folder)
    : layers_(layers), prompts_(prompts), folder_(std::move(folder))
{
}

bool StampTool::IkThumbStampSelectFile(const QString& fileName)
{
    stamp_ = QImage();
    selectedFile_ = fileName;
    const StampPicture::Loaded loaded = StampPicture::read(folder_ + fileName);
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

void StampTool::placeInto(int left, int top, int right, int bottom, bool aspect)
{
    layers_.ReleaseLayerPicture();
    // Format_RGB32 paints fastest; the layer takes it as 24 bits.
    QImage work(layers_.canvasSize(), QImage::Format_RGB32);
    work.fill(LayerKeyColor);
    // Without a readable stamp the layer becomes an empty picture.
    if (!stamp_.isNull())
        ImagePrinter::imageOut(work, stamp_, left, top, right, bottom, aspect);
    layers_.InstallLayerPicture(work);
}

void StampTool::PlaceStampAtSize(QPoint at)
{
    placeInto(at.x(), at.y(), at.x() + StampSize.width(), at.y() + StampSize.height(), true);
}

void StampTool::PlaceStampInRect(QPoint from, QPoint to)
{
    placeInto(from.x(), from.y(), to.x(), to.y(), prompts_.shiftDown());
}

void StampTool::place(QPoint at)
{
    if (at == layers_.LastPoint)
        PlaceStampAtSize(at);
    else
        PlaceStampInRect(layers_.LastPoint, at);
}

void StampTool::press(QPoint at, Qt::MouseButton)
{
    layers_.LastPoint = at;
}

void StampTool::move(QPoint at)
{
    place(at);
}

void StampTool::release(QPoint at)
{
    place(at);
    if (at != layers_.LastPoint && !selectedFile_.isEmpty())
        layers_.MarkDrawingPending();
}
