#include "workspace/PictureLoader.h"

#include "foundation/ErrorDetail.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Prompts.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/PictureFormats.h"
#include "imaging/codecs/RowFeed.h"
#include "imaging/codecs/ScalablePicture.h"
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
#include <future>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

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

// The geometry a load leaves: the picture made to cover the canvas, and centred on it.
WorkspaceGeometry fittedGeometry(const WorkspaceGeometry& current, QSize picture)
{
    WorkspaceGeometry g = current;
    g.baseWidth = g.workWidth = picture.width();
    g.baseHeight = g.workHeight = picture.height();
    g.CoverFit(g.canvasWidth, g.canvasHeight);
    g.CenterOffset();
    g.setOffset(g.offsetX, g.offsetY, false);
    return g;
}

// The working size of the picture made to cover the canvas.
QSize coverFitOf(const WorkspaceGeometry& current, QSize picture)
{
    const WorkspaceGeometry fitted = fittedGeometry(current, picture);
    return {fitted.workWidth, fitted.workHeight};
}

// The part of the picture scaled to `working`, on this thread while another decodes the picture's
// `rows` into the feed: what the rebuild after the load would otherwise scale once all is there.
QImage scalePartWhileDecoding(RowFeed& feed, QSize rows, QSize working, const QRect& part)
{
    // The load waits for the decode above all: this thread, which only follows it, gives way to it.
    setpriority(PRIO_PROCESS, id_t(gettid()), 19);
    const QImage picture = feed.waitForPicture(rows);
    if (picture.isNull())
        return {};
    const QImage scaled = Resampler::resizePart(picture, working.width(), working.height(), part, nullptr,
                                                [&feed](int count) { return feed.waitForRows(count); });
    feed.release();
    return scaled;
}

// The feed closed however the decode ends, before the readers are waited for: declared after their
// futures, it goes first.
struct FeedCloser
{
    RowFeed& feed;
    ~FeedCloser() { feed.close(); }
};

// The scaling above on a second thread, for a JPEG whose rows the feed will carry; nothing when
// there is nothing to scale or no thread to spare (the rebuild then scales afterwards).
std::future<QImage> scaleWhileDecoding(const ScalablePicture& file, RowFeed& feed, QSize rows, QSize working,
                                       const QRect& part)
{
    if (!file.reducible() || part.isEmpty())
        return {};
    try {
        return std::async(std::launch::async,
                          [&feed, rows, working, part] { return scalePartWhileDecoding(feed, rows, working, part); });
    } catch (const std::system_error&) {
        return {};
    }
}

// Whether the picture, made to cover the canvas, stays within what the resampler makes: a picture
// one pixel wide would otherwise become a strip of hundreds of millions of pixels.
bool coverFitPossible(const WorkspaceGeometry& current, QSize picture)
{
    const QSize work = coverFitOf(current, picture);
    return work.width() > 0 && work.height() > 0 && qint64(work.width()) * work.height() <= Resampler::kMaxPixels;
}

} // namespace

PictureLoader::PictureLoader(Workspace& workspace, UndoHistory& undo, OperationLog& log, const ProgramOptions& options,
                             Prompts& prompts, QObject* parent)
    : QObject(parent), workspace_(workspace), undo_(undo), log_(log), options_(options), prompts_(prompts),
      clipboard_([] { return ClipboardPicture::read(QGuiApplication::clipboard()->mimeData()); })
{
    // Undo image 0 is written after the load has shown the picture; should that fail after all,
    // the user hears of it when the history is next used.
    undo_.setWriteFailureListener([this](const QString&) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("作業ファイルを書き込めなかったため、この画像に加えた処理は元に戻せません。"));
    });
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
    return finish({picture, picture.size(), bitCountOf(picture), nullptr, {}, {}}, QString());
}

bool PictureLoader::load(const QString& path)
{
    auto file = std::make_shared<ScalablePicture>();
    DecodedImage decoded;
    Workspace::Prepared canvasPart;
    Workspace::Prepared view;
    {
        BusyCursor busy(prompts_);
        *file = ScalablePicture::read(path);
        const WorkspaceGeometry& g = workspace_.geometry();
        const QSize cover = coverFitPossible(g, file->size()) ? coverFitOf(g, file->size()) : QSize();
        // The canvas's part is scaled on a second thread as the rows come, with the picture's cover
        // fit and centre worked out ahead of the load's own.
        RowFeed feed;
        const QSize rows = JpegCodec::coveringSize(file->size(), cover);
        const QRect part = Workspace::canvasPart(fittedGeometry(g, file->size()), cover);
        std::future<QImage> scaling = scaleWhileDecoding(*file, feed, rows, cover, part);
        // And the working image as the sub-window will show it, reduced from the picture at once.
        const QSize shown = workspace_.viewSizeOf(cover);
        const QSize reduced = shown == cover ? QSize() : shown;
        std::future<QImage> reducing = scaleWhileDecoding(*file, feed, rows, reduced, QRect(QPoint(), reduced));
        {
            const FeedCloser closer{feed};
            // Every pixel is decoded now, so that a damaged file is refused here and not at a later
            // rebuild: at the scale the canvas needs, and whole as well when the undo images are files.
            decoded = undo_.keepsFiles() ? file->wholeAndCovering(cover, &feed) : file->covering(cover, &feed);
        }
        // What was scaled is offered to the rebuild by the picture it was scaled from.
        const qint64 key = decoded.ok() ? file->covering(cover).image.cacheKey() : 0;
        if (scaling.valid())
            canvasPart = {key, cover, part, scaling.get()};
        if (reducing.valid())
            view = {key, cover, QRect(QPoint(), cover), reducing.get()};
    }
    if (!decoded.ok()) {
        writeErrorDetail(QStringLiteral("%1: %2").arg(path, decoded.error));
        prompts_.message(MessageKind::Error,
                         QStringLiteral("画像を読み込めませんでした。\n%1").arg(QFileInfo(path).fileName()));
        return false;
    }
    return finish({decoded.image, file->size(), decoded.bitCount, file->reducible() ? file : nullptr, canvasPart, view},
                  folderOf(path));
}

bool PictureLoader::finish(LoadedPicture loaded, const QString& folder)
{
    QImage& picture = loaded.picture;
    {
        BusyCursor busy(prompts_);
        // Pictures deeper than 24 bits lose their alpha; everything is kept as 24-bit RGB.
        picture = loaded.bitCount > 24
                      ? ColorReduction::convertColor(picture, 24, options_.fixedPalette, options_.dither, 0)
                      : ColorReduction::toRgb888(picture);
    }
    if (picture.isNull()) {
        prompts_.message(MessageKind::Error, QStringLiteral("画像を 24 ビットに変換できませんでした。"));
        return false;
    }
    WorkspaceGeometry& g = workspace_.geometry();
    if (!coverFitPossible(g, loaded.size)) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("画像の縦と横の比率が極端なため、この画像は読み込めません。"));
        return false;
    }
    QString error;
    if (!(loaded.file ? undo_.startWithFile(loaded.file, &error) : undo_.startWith(picture, &error))) {
        writeErrorDetail(error);
        prompts_.message(MessageKind::Error,
                         QStringLiteral("作業ファイルを書き込めなかったため、画像を読み込めませんでした。"));
        return false;
    }
    // Only now that the new picture is in place do the drawing and its history go.
    hooks_.resetLayers();
    hooks_.releaseWorkingLayer();
    emit displaysReset(); // an old selection would limit the next effect on the new picture
    g.baseWidth = g.workWidth = loaded.size.width();
    g.baseHeight = g.workHeight = loaded.size.height();
    // The fit follows at once, so the picture at its own size is never shown: the sub-window would
    // only reduce the whole picture for nothing.
    workspace_.takePicture(picture);
    if (!folder.isEmpty())
        lastLoadFolder_ = folder;
    g.CoverFit(g.canvasWidth, g.canvasHeight);
    // Centred first, so the rebuild scales and composes the canvas's part where it stays; without a
    // rebuild the picture stays at its own size and the canvas follows the new place.
    g.CenterOffset();
    workspace_.offerScaledPart(loaded.canvasPart);
    workspace_.offerView(loaded.view);
    if (!workspace_.RebuildWorkingImage()) {
        workspace_.showPicture(picture);
        workspace_.ComposeCanvas(g.offsetX, g.offsetY, false);
    }
    undo_.EmptySteps();
    log_.ClearOperationLog();
    // Announced last: what listens (the picture fields, "元の縦横比に戻す") acts after the rebuild.
    emit pictureLoaded(loaded.size.width(), loaded.size.height(), std::min(loaded.bitCount, 24));
    return true;
}

#include "moc_PictureLoader.cpp"
