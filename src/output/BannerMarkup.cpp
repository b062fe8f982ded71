#include "output/BannerMarkup.h"

namespace {

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\f');
}

bool isNameCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// One past the '>' that closes the tag opened at `at`, quotes respected; -1 when the page ends first.
qsizetype tagEnd(QStringView html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i + 1;
        }
    }
    return -1;
}

struct Tag
{
    QString name; // lower case; empty when the '<' starts no element tag
    bool closing = false;
};

Tag tagOf(QStringView tag)
{
    Tag result;
    qsizetype i = 1;
    if (i < tag.size() && tag[i] == QLatin1Char('/')) {
        result.closing = true;
        ++i;
    }
    const qsizetype start = i;
    while (i < tag.size() && isNameCharacter(tag[i]))
        ++i;
    if (i > start && tag[start].isLetter())
        result.name = tag.mid(start, i - start).toString().toLower();
    return result;
}

bool isTablePart(const QString& name)
{
    static const QStringList parts{QStringLiteral("table"),   QStringLiteral("tr"),      QStringLiteral("td"),
                                   QStringLiteral("th"),      QStringLiteral("thead"),   QStringLiteral("tbody"),
                                   QStringLiteral("tfoot"),   QStringLiteral("caption"), QStringLiteral("col"),
                                   QStringLiteral("colgroup")};
    return parts.contains(name);
}

// Walks the page once, copying what is laid out until a bound is reached.
class Bounder
{
  public:
    explicit Bounder(QStringView html) : html_(html) {}

    QString run()
    {
        while (at_ < html_.size() && out_.size() <= BannerMarkup::MaxMarkupCharacters) {
            const bool goOn = html_[at_] == QLatin1Char('<') ? markup() : text();
            if (!goOn)
                break;
        }
        return out_;
    }

  private:
    // Skips past `terminator` (ASCII case ignored); false when the page ends first.
    bool skipPast(QLatin1StringView terminator)
    {
        const qsizetype end = html_.indexOf(terminator, at_, Qt::CaseInsensitive);
        at_ = end < 0 ? html_.size() : end + terminator.size();
        return end >= 0;
    }

    bool markup()
    {
        if (html_.mid(at_, 4) == QLatin1String("<!--"))
            return skipPast(QLatin1StringView("-->"));
        const qsizetype end = tagEnd(html_, at_);
        if (end < 0)
            return false; // a tag the page never closes
        const QStringView source = html_.mid(at_, end - at_);
        const Tag tag = tagOf(source);
        at_ = end;
        if (tag.name.isEmpty())
            return true; // <!DOCTYPE …>, <?xml …?> and stray '<' lay nothing out
        if (tag.name == QLatin1String("script"))
            return tag.closing || skipPast(QLatin1StringView("</script>"));
        if (tag.name == QLatin1String("style") && !tag.closing)
            return styleSheet(source);
        if (!tag.closing && ++elements_ > BannerMarkup::MaxElements)
            return false;
        if (tag.name == QLatin1String("table") && !tag.closing)
            ++tableDepth_;
        const bool deep = tableDepth_ > BannerMarkup::MaxTableDepth;
        if (tag.name == QLatin1String("table") && tag.closing && tableDepth_ > 0)
            --tableDepth_;
        if (isTablePart(tag.name) && deep)
            return true; // its content stays, in the table around it
        if (!tag.closing && (tag.name == QLatin1String("td") || tag.name == QLatin1String("th")) &&
            ++cells_ > BannerMarkup::MaxTableCells)
            return false;
        out_ += source;
        return true;
    }

    // A style sheet is no text of the page; it is kept whole, within the markup bound.
    bool styleSheet(QStringView openingTag)
    {
        const qsizetype start = at_;
        const bool closed = skipPast(QLatin1StringView("</style>"));
        out_ += openingTag;
        out_ += html_.mid(start, at_ - start);
        return closed;
    }

    // Text up to the next tag; a run of blanks is laid out as one, a character reference as one.
    bool text()
    {
        while (at_ < html_.size() && html_[at_] != QLatin1Char('<')) {
            const QChar c = html_[at_];
            qsizetype length = 1;
            if (c == QLatin1Char('&')) {
                const qsizetype semicolon = html_.indexOf(QLatin1Char(';'), at_);
                if (semicolon > at_ && semicolon - at_ <= 10)
                    length = semicolon - at_ + 1;
            }
            const bool blank = isSpace(c);
            if (!(blank && lastBlank_) && ++characters_ > BannerMarkup::MaxTextCharacters)
                return false;
            lastBlank_ = blank;
            out_ += html_.mid(at_, length);
            at_ += length;
        }
        return true;
    }

    QStringView html_;
    qsizetype at_ = 0;
    QString out_;
    int elements_ = 0;
    int tableDepth_ = 0;
    int cells_ = 0;
    int characters_ = 0;
    bool lastBlank_ = false;
};

} // namespace

QString BannerMarkup::bounded(const QString& html)
{
    return Bounder(html).run();
}
