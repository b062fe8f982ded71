// Draws the shipped stamps and frames: emoji from the Noto Color Emoji font, speech bubbles and
// frame bands painted here, Japanese lettering in IPA P Gothic. Every picture is a PNG whose
// see-through parts are fully transparent and all others fully opaque, so that what the lists
// show is exactly what lands on the canvas.
//
//   make-artwork STAMP_FOLDER FRAME_FOLDER
#include <QtCore/QDir>
#include <QtCore/QRandomGenerator>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontMetricsF>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

const QString emojiFamily = QStringLiteral("Noto Color Emoji");
const QString letterFamily = QStringLiteral("IPAPGothic");
constexpr QRgb keyColour = 0xFEFEFE; // the layer key; an opaque pixel of it would turn see-through

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Alpha of half or more becomes opaque in the pixel's own colour; the rest fully transparent.
QImage harden(const QImage& picture)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb p = line[x];
            if (qAlpha(p) < 128) {
                line[x] = qRgba(255, 255, 255, 0);
                continue;
            }
            p = qRgb(qRed(p), qGreen(p), qBlue(p));
            line[x] = (p & 0xFFFFFF) == keyColour ? qRgb(255, 255, 255) : p;
        }
    }
    return out;
}

bool save(const QImage& picture, const QString& path)
{
    if (harden(picture).save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// One emoji, cropped to its drawn pixels and fitted into side x side.
QImage emoji(const QString& text, int side)
{
    QImage big = canvas(256, 256);
    {
        QPainter p(&big);
        QFont font(emojiFamily);
        font.setPixelSize(109); // the font's own bitmap size: no scaling inside the font engine
        p.setFont(font);
        p.drawText(big.rect(), Qt::AlignCenter, text);
    }
    QRect used;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            if (qAlpha(big.pixel(x, y)) > 0)
                used |= QRect(x, y, 1, 1);
    if (used.isEmpty())
        return {};
    const QImage glyph = big.copy(used).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage out = canvas(glyph.width(), glyph.height());
    QPainter(&out).drawImage(0, 0, glyph);
    return out;
}

void drawEmoji(QPainter& p, const QString& text, QPointF centre, int side, qreal degrees = 0)
{
    const QImage glyph = emoji(text, side);
    if (glyph.isNull())
        return;
    p.save();
    p.translate(centre);
    p.rotate(degrees);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QPointF(-glyph.width() / 2.0, -glyph.height() / 2.0), glyph);
    p.restore();
}

// A rounded speech bubble with its tail at the bottom left and the words inside.
QImage bubble(const QString& words, QColor ink, int width, int height)
{
    QImage out = canvas(width, height);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(2, 2, width - 4, height - 14);
    QPainterPath path;
    path.addRoundedRect(body, 14, 14);
    QPainterPath tail;
    tail.moveTo(body.left() + 16, body.bottom() - 4);
    tail.lineTo(body.left() + 8, height - 2);
    tail.lineTo(body.left() + 32, body.bottom() - 4);
    tail.closeSubpath();
    path = path.united(tail);
    p.setPen(QPen(ink, 3));
    p.setBrush(Qt::white);
    p.drawPath(path);
    QFont font(letterFamily);
    font.setBold(true);
    // As large as fits, with a little room on both sides.
    for (int size = int(body.height() * 0.45); size > 8; --size) {
        font.setPixelSize(size);
        if (QFontMetricsF(font).horizontalAdvance(words) <= body.width() - 12)
            break;
    }
    p.setFont(font);
    p.setPen(ink);
    p.drawText(body, Qt::AlignCenter, words);
    return out;
}

struct Stamp
{
    const char* name;
    const char* emoji; // empty for a speech bubble
    int side;
};

const Stamp stamps[] = {
    {"heart", "\u2764\ufe0f", 48},   {"two_hearts", "\U0001F495", 64}, {"kira_heart", "\U0001F496", 40},
    {"star", "\u2b50", 48},          {"kira_star", "\U0001F31F", 64},  {"sparkles", "\u2728", 24},
    {"sakura", "\U0001F338", 48},    {"tulip", "\U0001F337", 64},      {"sunflower", "\U0001F33B", 64},
    {"rose", "\U0001F339", 48},      {"cat", "\U0001F431", 64},        {"dog", "\U0001F436", 64},
    {"rabbit", "\U0001F430", 64},    {"panda", "\U0001F43C", 64},      {"chick", "\U0001F424", 48},
    {"sun", "\u2600\ufe0f", 64},     {"cloud", "\u2601\ufe0f", 64},    {"umbrella", "\u2614", 48},
    {"snowman", "\u26c4", 64},       {"rainbow", "\U0001F308", 96},    {"snowflake", "\u2744\ufe0f", 32},
    {"kadomatsu", "\U0001F38D", 64}, {"koinobori", "\U0001F38F", 96},  {"furin", "\U0001F390", 48},
    {"tsukimi", "\U0001F391", 64},   {"momiji", "\U0001F341", 48},     {"tanabata", "\U0001F38B", 64},
    {"dango", "\U0001F361", 48},     {"fuji", "\U0001F5FB", 96},       {"onigiri", "\U0001F359", 48},
    {"present", "\U0001F381", 48},   {"cake", "\U0001F382", 64},
};

struct Bubble
{
    const char* name;
    const char* words;
    QRgb ink;
};

const Bubble bubbles[] = {
    {"arigatou", "ありがとう", 0xE0457B},  {"omedetou", "おめでとう", 0xE07A10},   {"daisuki", "だいすき", 0xD81B60},
    {"yoroshiku", "よろしく！", 0x1E88E5}, {"otsukare", "おつかれさま", 0x43A047},
};

bool makeStamps(const QDir& folder)
{
    bool ok = true;
    for (const Stamp& s : stamps) {
        const QImage picture = emoji(QString::fromUtf8(s.emoji), s.side);
        if (picture.isNull()) {
            std::fprintf(stderr, "the emoji font has no picture for %s\n", s.name);
            ok = false;
            continue;
        }
        ok &= save(picture, folder.filePath(QLatin1String(s.name) + QStringLiteral(".png")));
    }
    for (const Bubble& b : bubbles)
        ok &= save(bubble(QString::fromUtf8(b.words), QColor::fromRgb(b.ink), 96, 56),
                   folder.filePath(QLatin1String(b.name) + QStringLiteral(".png")));
    return ok;
}

// ---- frames: a band painted over the whole picture, then the window cut out of it ----

void cutWindow(QPainter& p, const QPainterPath& window)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(window, Qt::transparent);
    p.restore();
}

QPainterPath roundedWindow(QRectF r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath roundWindow(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// Emoji placed evenly round the edge of `r`, `count` of them, alternating from `motifs`.
void ringOfEmoji(QPainter& p, QRectF r, const QStringList& motifs, int count, int side, quint32 seed)
{
    QRandomGenerator random(seed);
    const qreal perimeter = 2 * (r.width() + r.height());
    for (int i = 0; i < count; ++i) {
        qreal d = perimeter * (i + 0.5) / count;
        QPointF at;
        if (d < r.width())
            at = QPointF(r.left() + d, r.top());
        else if ((d -= r.width()) < r.height())
            at = QPointF(r.right(), r.top() + d);
        else if ((d -= r.height()) < r.width())
            at = QPointF(r.right() - d, r.bottom());
        else
            at = QPointF(r.left(), r.bottom() - (d - r.width()));
        const int size = side - int(random.bounded(side / 4 + 1));
        drawEmoji(p, motifs[i % motifs.size()], at, size, random.bounded(60) - 30.0);
    }
}

void gradientBand(QPainter& p, QSize size, QColor from, QColor to)
{
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

QImage sakuraFrame()
{
    QImage f = canvas(240, 320);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(255, 226, 236), QColor(246, 178, 204));
    cutWindow(p, roundedWindow(QRectF(24, 24, 192, 272), 24));
    ringOfEmoji(p, QRectF(14, 14, 212, 292), {QStringLiteral("🌸")}, 20, 36, 1);
    return f;
}

QImage heartFrame()
{
    QImage f = canvas(240, 320);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(255, 236, 242), QColor(255, 196, 214));
    cutWindow(p, roundedWindow(QRectF(24, 24, 192, 272), 40));
    ringOfEmoji(p, QRectF(14, 14, 212, 292), {QStringLiteral("❤️"), QStringLiteral("💕"), QStringLiteral("💖")}, 18,
                34, 2);
    return f;
}

QImage filmFrame()
{
    QImage f = canvas(240, 320);
    QPainter p(&f);
    p.fillRect(f.rect(), QColor(24, 24, 28));
    QPainterPath holes;
    for (int y = 8; y < 320; y += 22) {
        holes.addRoundedRect(QRectF(5, y, 12, 12), 3, 3);
        holes.addRoundedRect(QRectF(223, y, 12, 12), 3, 3);
    }
    cutWindow(p, holes);
    cutWindow(p, roundedWindow(QRectF(26, 16, 188, 288), 6));
    return f;
}

QImage instantPhotoFrame()
{
    QImage f = canvas(240, 320);
    QPainter p(&f);
    p.fillRect(f.rect(), QColor(250, 248, 240));
    p.setPen(QPen(QColor(200, 196, 186), 2));
    p.drawRect(QRectF(1, 1, 238, 318));
    cutWindow(p, QPainterPath([] {
                  QPainterPath path;
                  path.addRect(QRectF(16, 16, 208, 232));
                  return path;
              }()));
    drawEmoji(p, QStringLiteral("🌸"), QPointF(200, 286), 30, -15);
    QFont font(letterFamily);
    font.setPixelSize(18);
    p.setFont(font);
    p.setPen(QColor(120, 110, 100));
    p.drawText(QRectF(16, 260, 170, 50), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("思い出"));
    return f;
}

QImage starFrame()
{
    QImage f = canvas(240, 240);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(20, 30, 90), QColor(60, 20, 110));
    cutWindow(p, roundWindow(QPointF(120, 120), 96));
    ringOfEmoji(p, QRectF(14, 14, 212, 212), {QStringLiteral("⭐"), QStringLiteral("✨"), QStringLiteral("🌟")}, 16, 24,
                3);
    return f;
}

QImage flowerFrame()
{
    QImage f = canvas(240, 240);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(170, 220, 140), QColor(90, 170, 90));
    cutWindow(p, roundedWindow(QRectF(26, 26, 188, 188), 30));
    ringOfEmoji(p, QRectF(14, 14, 212, 212),
                {QStringLiteral("🌷"), QStringLiteral("🌼"), QStringLiteral("🌻"), QStringLiteral("🌹")}, 16, 30, 4);
    return f;
}

// Blue and white overlapping waves (seigaiha) round a round window.
QImage waveFrame()
{
    QImage f = canvas(480, 480);
    QPainter p(&f);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(f.rect(), QColor(30, 60, 130));
    const qreal r = 30;
    for (int row = -1; row * r / 2 < 480 + r; ++row)
        for (int col = -1; col * r * 2 < 480 + 2 * r; ++col) {
            const QPointF c(col * 2 * r + (row % 2 ? r : 0), row * r / 2);
            for (int ring = 0; ring < 4; ++ring) {
                p.setBrush(ring % 2 ? QColor(30, 60, 130) : QColor(235, 240, 250));
                p.setPen(Qt::NoPen);
                p.drawEllipse(c, r * (1 - ring * 0.25), r * (1 - ring * 0.25));
            }
        }
    p.setPen(QPen(QColor(200, 160, 60), 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(240, 240), 196, 196);
    cutWindow(p, roundWindow(QPointF(240, 240), 192));
    return f;
}

QImage autumnFrame()
{
    QImage f = canvas(480, 480);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(255, 200, 110), QColor(210, 90, 40));
    cutWindow(p, roundedWindow(QRectF(44, 44, 392, 392), 60));
    ringOfEmoji(p, QRectF(26, 26, 428, 428), {QStringLiteral("🍁"), QStringLiteral("🍂"), QStringLiteral("🌰")}, 24, 52,
                5);
    return f;
}

QImage snowFrame()
{
    QImage f = canvas(480, 480);
    QPainter p(&f);
    gradientBand(p, f.size(), QColor(200, 230, 255), QColor(120, 170, 230));
    cutWindow(p, roundedWindow(QRectF(44, 44, 392, 392), 60));
    ringOfEmoji(p, QRectF(26, 26, 428, 428), {QStringLiteral("❄️"), QStringLiteral("⛄"), QStringLiteral("❄️")},
                24, 48, 6);
    return f;
}

// White lace with a scalloped edge round an oval window.
QImage laceFrame()
{
    QImage f = canvas(480, 480);
    QPainter p(&f);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(f.rect(), QColor(255, 236, 242));
    QPainterPath lace;
    const QPointF c(240, 240);
    const int scallops = 36;
    for (int i = 0; i < scallops; ++i) {
        const qreal a = 2 * M_PI * i / scallops;
        lace.addEllipse(c + QPointF(200 * std::cos(a), 200 * std::sin(a)), 20, 20);
    }
    lace.addEllipse(c, 204, 204);
    p.fillPath(lace, Qt::white);
    p.setPen(QPen(QColor(240, 170, 190), 2));
    for (int i = 0; i < scallops; ++i) {
        const qreal a = 2 * M_PI * (i + 0.5) / scallops;
        p.drawEllipse(c + QPointF(214 * std::cos(a), 214 * std::sin(a)), 4, 4);
    }
    cutWindow(p, roundWindow(c, 186));
    drawEmoji(p, QStringLiteral("🎀"), QPointF(240, 44), 64);
    return f;
}

bool makeFrames(const QDir& folder)
{
    const std::pair<const char*, QImage> frames[] = {
        {"sakura_240x320", sakuraFrame()},      {"hearts_240x320", heartFrame()},  {"film_240x320", filmFrame()},
        {"photo_240x320", instantPhotoFrame()}, {"stars_240x240", starFrame()},    {"flowers_240x240", flowerFrame()},
        {"seigaiha_480x480", waveFrame()},      {"momiji_480x480", autumnFrame()}, {"snow_480x480", snowFrame()},
        {"lace_480x480", laceFrame()},
    };
    bool ok = true;
    for (const auto& [name, picture] : frames)
        ok &= save(picture, folder.filePath(QLatin1String(name) + QStringLiteral(".png")));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-artwork STAMP_FOLDER FRAME_FOLDER\n");
        return 1;
    }
    if (!QFontDatabase::families().contains(emojiFamily) || !QFontDatabase::families().contains(letterFamily)) {
        std::fprintf(stderr, "needs the fonts \"%s\" (fonts-noto-color-emoji) and \"%s\" (fonts-ipafont-gothic)\n",
                     qPrintable(emojiFamily), qPrintable(letterFamily));
        return 1;
    }
    const QDir stampFolder(QString::fromLocal8Bit(argv[1]));
    const QDir frameFolder(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(stampFolder.path()) || !QDir().mkpath(frameFolder.path())) {
        std::fprintf(stderr, "cannot create the output folders\n");
        return 1;
    }
    return makeStamps(stampFolder) && makeFrames(frameFolder) ? 0 : 1;
}
