#include "output/pages/BannerView.h"

#include "foundation/Cp932.h"
#include "imaging/codecs/ImageFile.h"
#include "output/BannerMarkup.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QStringDecoder>
#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtNetwork/QNetworkReply>

namespace {

bool isWebAddress(const QUrl& url)
{
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// The page's text in its declared code page; Shift-JIS pages are common on Japanese sites.
QString decodePage(const QByteArray& body, const QByteArray& contentType)
{
    static const QRegularExpression shiftJis(QStringLiteral("charset\\s*=\\s*[\"']?(shift_jis|sjis|x-sjis|cp932|"
                                                            "windows-31j|ms_kanji)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (shiftJis.match(QString::fromLatin1(contentType)).hasMatch() ||
        shiftJis.match(QString::fromLatin1(body.left(2048))).hasMatch())
        return Cp932::decode(body);
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

QStringList pictureSources(const QString& html)
{
    static const QRegularExpression img(
        QStringLiteral("<img\\b[^>]*?\\bsrc\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList sources;
    for (auto it = img.globalMatch(html); it.hasNext() && sources.size() < BannerView::MaxPictures;) {
        const QRegularExpressionMatch m = it.next();
        const QString source = m.captured(1) + m.captured(2) + m.captured(3);
        if (!source.isEmpty() && !sources.contains(source))
            sources << source;
    }
    return sources;
}

} // namespace

BannerView::BannerView(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("CppWebAD"));
    resize(Width, Height);
    setFrameShape(QFrame::NoFrame);
    // With nothing loaded the banner shows nothing, not a white box.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Window));
    setPalette(colours);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setFocusPolicy(Qt::NoFocus);
    document()->setDocumentMargin(0);
    viewport()->setCursor(Qt::PointingHandCursor);
    connect(this, &QTextBrowser::anchorClicked, this, &BannerView::linkClicked);
    TimerAD = new QTimer(this);
    TimerAD->setObjectName(QStringLiteral("TimerAD"));
    TimerAD->setInterval(IntervalMs);
    connect(TimerAD, &QTimer::timeout, this, &BannerView::TimerADTimer);
}

void BannerView::start(std::function<QString()> address)
{
    address_ = std::move(address);
    TimerADTimer();
    TimerAD->start();
}

int BannerView::repliesInFlight() const
{
    int count = page_ ? 1 : 0;
    for (const QPointer<QNetworkReply>& picture : pictures_)
        count += picture ? 1 : 0;
    return count;
}

void BannerView::TimerADTimer()
{
    abortAll();
    const QUrl url(address_ ? address_() : QString());
    if (!isWebAddress(url)) {
        showNothing();
        return;
    }
    base_ = url;
    page_ = get(url, MaxPageBytes);
    QNetworkReply* reply = page_;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { pageArrived(reply); });
}

QNetworkReply* BannerView::get(const QUrl& url, qint64 cap)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(IntervalMs);
    QNetworkReply* reply = network_.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, cap](qint64 received, qint64) {
        if (received > cap)
            reply->abort();
    });
    return reply;
}

void BannerView::abortAll()
{
    // Aborting finishes a reply at once; its handler must not see it as the current load.
    QList<QPointer<QNetworkReply>> replies = pictures_;
    replies << page_;
    page_ = nullptr;
    pictures_.clear();
    for (const QPointer<QNetworkReply>& reply : replies)
        if (reply) {
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
        }
}

void BannerView::pageArrived(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != page_)
        return;
    page_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status >= 400) {
        showNothing();
        return;
    }
    const QByteArray body = reply->readAll();
    if (body.size() > MaxPageBytes) {
        showNothing();
        return;
    }
    base_ = reply->url();
    // Only what the banner lays out is kept, and only its pictures are fetched.
    html_ = BannerMarkup::bounded(decodePage(body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
    images_.clear();
    for (const QString& source : pictureSources(html_)) {
        const QUrl url = base_.resolved(QUrl(source));
        if (!isWebAddress(url))
            continue;
        QNetworkReply* picture = get(url, MaxPictureBytes);
        pictures_ << picture;
        connect(picture, &QNetworkReply::finished, this, [this, picture, source] { pictureArrived(picture, source); });
    }
    showIfComplete();
}

void BannerView::pictureArrived(QNetworkReply* reply, const QString& source)
{
    reply->deleteLater();
    if (!pictures_.contains(reply))
        return;
    pictures_.removeAll(reply);
    // A picture that does not come leaves its place empty; the rest of the banner still shows.
    if (reply->error() == QNetworkReply::NoError) {
        const QByteArray bytes = reply->readAll();
        // The program's own decoders, refusing from the header what no banner needs.
        const QImage image =
            bytes.size() <= MaxPictureBytes
                ? ImageFile::decode(bytes, DecodeBounds{MaxPictureSide, MaxPictureSide * MaxPictureSide, {}}).image
                : QImage();
        if (!image.isNull())
            images_.insert(source, image);
    }
    showIfComplete();
}

void BannerView::showIfComplete()
{
    if (repliesInFlight() > 0)
        return;
    document()->clear();
    document()->setBaseUrl(base_);
    setHtml(html_);
    emit loadFinished(true);
}

void BannerView::showNothing()
{
    html_.clear();
    images_.clear();
    clear();
    emit loadFinished(false);
}

QVariant BannerView::loadResource(int type, const QUrl& name)
{
    // Only the pictures fetched with the page are shown; nothing is read from the disk.
    if (type == QTextDocument::ImageResource) {
        for (const QString& key : {name.toString(), base_.resolved(name).toString()})
            if (auto it = images_.constFind(key); it != images_.constEnd())
                return *it;
        for (auto it = images_.constBegin(); it != images_.constEnd(); ++it)
            if (base_.resolved(QUrl(it.key())) == base_.resolved(name))
                return it.value();
    }
    return {};
}

void BannerView::mouseMoveEvent(QMouseEvent* event)
{
    QTextBrowser::mouseMoveEvent(event);
    // The whole banner is a link area: the hand stays also between links.
    viewport()->setCursor(Qt::PointingHandCursor);
}

void BannerView::linkClicked(const QUrl& link)
{
    const QUrl url = base_.resolved(link);
    if (isWebAddress(url))
        openLink_(url.toString());
}

#include "moc_BannerView.cpp"
