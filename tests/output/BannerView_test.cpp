// The banner against a scripted web server: pictures, links, failures and slow answers.
#include "output/BannerMarkup.h"
#include "output/pages/BannerView.h"

#include "netsupport/ScriptedHttpServer.h"

#include <QtCore/QBuffer>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <gtest/gtest.h>

namespace {

QByteArray redPicture()
{
    QImage image(40, 40, QImage::Format_RGB888);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

ScriptedHttpServer::Answer ok(const QByteArray& type, const QByteArray& body)
{
    return {{"HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\n\r\n" + body}, 0, true};
}

const QByteArray page = "<html><body><a href=\"/pc/join.php\"><img src=\"ad.png\" width=\"40\" height=\"40\"></a>"
                        "\xe4\xbc\x9a\xe5\x93\xa1\xe5\x8b\x9f\xe9\x9b\x86</body></html>"; // 会員募集

bool waitFor(const std::function<bool()>& condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 15000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

void click(QWidget* target, QPoint at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

} // namespace

TEST(BannerViewTest, ShowsThePageWithItsPicturesAndOpensAClickedLink)
{
    ScriptedHttpServer server;
    server.respond = [](const QByteArray& request) {
        return request.startsWith("GET /pc/ad.png") ? ok("image/png", redPicture())
                                                    : ok("text/html; charset=utf-8", page);
    };
    BannerView view;
    view.show();
    EXPECT_EQ(view.size(), QSize(471, 63));
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(view.TimerAD->interval(), 12500);
    QStringList opened;
    view.setLinkOpener([&](const QString& address) { opened << address; });
    QList<bool> loads;
    QObject::connect(&view, &BannerView::loadFinished, [&](bool shown) { loads << shown; });
    view.start([&] { return server.url(QStringLiteral("/pc/?jex=True")); });
    EXPECT_TRUE(view.TimerAD->isActive());
    ASSERT_TRUE(waitFor([&] { return !loads.isEmpty(); }));
    EXPECT_EQ(loads, QList<bool>{true});
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("会員募集")));
    const QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::red));
    click(view.viewport(), QPoint(20, 20));
    EXPECT_EQ(opened, QStringList{server.url(QStringLiteral("/pc/join.php"))});
}

TEST(BannerViewTest, EveryTickAsksAgainWhateverTheLastOutcomeAndNothingPilesUp)
{
    ScriptedHttpServer server;
    int pageRequests = 0;
    server.respond = [&](const QByteArray& request) -> ScriptedHttpServer::Answer {
        if (request.startsWith("GET /pc/ad.png"))
            return ok("image/png", redPicture());
        switch (pageRequests++) {
        case 0:
            return ok("text/html", page);
        case 1:
            return {{"HTTP/1.0 404 Not Found\r\n\r\n<html>missing</html>"}, 0, true};
        case 2:
            return {{"HTTP/1.0 200 OK\r\n\r\n<html>"}, 600000, false}; // starts, then stalls
        default:
            return ok("text/html", page);
        }
    };
    BannerView view;
    view.TimerAD->setInterval(150);
    QList<bool> loads;
    QList<int> inFlightAfterTick;
    QList<bool> emptyAfterLoad;
    QObject::connect(&view, &BannerView::loadFinished, [&](bool shown) {
        loads << shown;
        emptyAfterLoad << view.toPlainText().isEmpty();
    });
    QObject::connect(view.TimerAD, &QTimer::timeout, [&] { inFlightAfterTick << view.repliesInFlight(); });
    view.start([&] { return server.url(QStringLiteral("/pc/?jex=True")); });
    ASSERT_TRUE(waitFor([&] { return pageRequests >= 5 && loads.size() >= 4; }));
    // The stalled answer was dropped at the next tick, so it finished no load.
    EXPECT_EQ(loads.mid(0, 4), (QList<bool>{true, false, true, true}));
    EXPECT_EQ(emptyAfterLoad.mid(0, 4), (QList<bool>{false, true, false, false}));
    for (int inFlight : inFlightAfterTick)
        EXPECT_EQ(inFlight, 1); // the new page request only
}

TEST(BannerViewTest, APageOfNestedTablesIsShownWithinTheBounds)
{
    ScriptedHttpServer server;
    const QByteArray deep =
        QByteArray("<table><tr><td>").repeated(25) + "deep" + QByteArray("</td></tr></table>").repeated(25);
    server.respond = [&](const QByteArray&) { return ok("text/html", deep); };
    BannerView view;
    view.show();
    QList<bool> loads;
    QObject::connect(&view, &BannerView::loadFinished, [&](bool shown) { loads << shown; });
    view.start([&] { return server.url(QStringLiteral("/pc/?jex=True")); });
    ASSERT_TRUE(waitFor([&] { return !loads.isEmpty(); }));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("deep")));
    EXPECT_EQ(view.toHtml().count(QStringLiteral("<table")), BannerMarkup::MaxTableDepth);
}
