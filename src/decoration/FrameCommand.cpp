#include "decoration/FrameCommand.h"

#include "decoration/DrawingLayers.h"
#include "decoration/StampPicture.h"
#include "foundation/ProgramOptions.h"
#include "imaging/drawing/ImagePrinter.h"

FrameCommand::FrameCommand(DrawingLayers& layers, const ProgramOptions& options, QString folder)
    : layers_(layers), options_(options), folder_(std::move(folder))
{
}

void FrameCommand::drawFrame(const QString& path)
{
    const QSize canvas = layers_.canvasSize();
    // Decoded once, no larger than it is drawn over the canvas.
    const QImage frame = StampPicture::load(path, canvas);
    QImage work(canvas, QImage::Format_RGB32);
    work.fill(options_.marginColor);
    layers_.ReleaseLayerPicture();
    // An unreadable frame leaves the plain margin colour, which is still a drawing to commit.
    if (!frame.isNull())
        ImagePrinter::imageOut(work, frame, 0, 0, canvas.width(), canvas.height(), true);
    layers_.InstallLayerPicture(work);
    layers_.MarkDrawingPending();
}
