#include "workspace/PictureLoader.h"

#include "foundation/ErrorDetail.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Prompts.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/PictureFormats.h"
#include "imaging/effects/ColorReduction.h"
#include "imaging/resampling/Resampler.h"
#include "workspace/ClipboardPicture.h"
#include "workspace/OperationLog.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <QtCore/QFileInfo>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <cstdio>

namespace {

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}

// The clipboard picture's own depth, as the file loaders report it.
int bitCountOf(const QImage& image)
{
    if (image.hasAlphaChannel())
        return 32;
    return image.depth() > 24 ? 24 : image.depth();
}

// Whether the picture, made to cover the canvas, stays within what the resampler makes: a picture
// one pixel wide would otherwise become a strip of hundreds of millions of pixels.
bool coverFitPossible(const WorkspaceGeometry& current, QSize picture)
{
    WorkspaceGeometry probe = current;
    probe.baseWidth = picture.width();
    probe.baseHeight = picture.height();
    probe.CoverFit(probe.canvasWidth, probe.canvasHeight);
    return probe.workWidth > 0 && probe.workHeight > 0 &&
           qint64(probe.workWidth) * probe.workHeight <= Resampler::kMaxPixels;
}

} // namespace

PictureLoader::PictureLoader(Workspace& workspace, UndoHistory& undo, OperationLog& log, const ProgramOptions& options,
                             Prompts& prompts, QObject* parent)
    : QObject(parent), workspace_(workspace), undo_(undo), log_(log), options_(options), prompts_(prompts),
      clipboard_([] { return ClipboardPicture::read(QGuiApplication::clipboard()->mimeData()); })
{
}

void PictureLoader::loadDroppedFiles(const QStringList& paths)
{
    if (paths.size() > 1) {
        prompts_.message(MessageKind::Error, QStringLiteral("複数の画像を同時に開くことはできません。"));
        return;
    }
    if (paths.isEmpty())
        return;
    if (!PictureFormats::hasReadableExtension(paths.constFirst())) {
        prompts_.message(MessageKind::Error, QStringLiteral("未対応の画像形式です。"));
        return;
    }
    load(paths.constFirst());
}

bool PictureLoader::loadClipboard()
{
    const QImage picture = clipboard_ ? clipboard_() : QImage();
    if (picture.isNull()) {
        // The current picture stays: a failed paste must not cost the user the work.
        prompts_.message(MessageKind::Error, QStringLiteral("クリップボードを開けませんでした。"));
        return false;
    }
    return finish(picture, bitCountOf(picture), QString());
}

bool PictureLoader::load(const QString& path)
{
    DecodedImage decoded;
    {
        BusyCursor busy(prompts_);
        decoded = ImageFile::load(path);
    }
    if (!decoded.ok()) {
        writeErrorDetail(QStringLiteral("%1: %2").arg(path, decoded.error));
        prompts_.message(MessageKind::Error,
                         QStringLiteral("画像を読み込めませんでした。\n%1").arg(QFileInfo(path).fileName()));
        return false;
    }
    return finish(decoded.image, decoded.bitCount, folderOf(path));
}

bool PictureLoader::finish(QImage picture, int bitCount, const QString& folder)
{
    {
        BusyCursor busy(prompts_);
        // Pictures deeper than 24 bits lose their alpha; everything is kept as 24-bit RGB.
        picture = bitCount > 24 ? ColorReduction::convertColor(picture, 24, options_.fixedPalette, options_.dither, 0)
                                : ColorReduction::toRgb888(picture);
    }
    if (picture.isNull()) {
        prompts_.message(MessageKind::Error, QStringLiteral("画像を 24 ビットに変換できませんでした。"));
        return false;
    }
    WorkspaceGeometry& g = workspace_.geometry();
    if (!coverFitPossible(g, picture.size())) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("画像の縦と横の比率が極端なため、この画像は読み込めません。"));
        return false;
    }
    QString error;
    if (!undo_.startWith(picture, &error)) {
        writeErrorDetail(error);
        prompts_.message(MessageKind::Error,
                         QStringLiteral("作業ファイルを書き込めなかったため、画像を読み込めませんでした。"));
        return false;
    }
    // Only now that the new picture is in place do the drawing and its history go.
    hooks_.resetLayers();
    hooks_.releaseWorkingLayer();
    emit displaysReset(); // an old selection would limit the next effect on the new picture
    g.baseWidth = g.workWidth = picture.width();
    g.baseHeight = g.workHeight = picture.height();
    workspace_.showPicture(picture);
    if (!folder.isEmpty())
        lastLoadFolder_ = folder;
    g.CoverFit(g.canvasWidth, g.canvasHeight);
    // Centred first, so the rebuild scales the canvas's part where it stays.
    g.CenterOffset();
    workspace_.RebuildWorkingImage();
    workspace_.ComposeCanvas(g.offsetX, g.offsetY, false);
    undo_.EmptySteps();
    log_.ClearOperationLog();
    // Announced last: what listens (the picture fields, "元の縦横比に戻す") acts after the rebuild.
    emit pictureLoaded(picture.width(), picture.height(), std::min(bitCount, 24));
    return true;
}

#include "moc_PictureLoader.cpp"
