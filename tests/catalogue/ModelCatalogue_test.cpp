#include "catalogue/CommaText.h"
#include "catalogue/ModelCatalogue.h"
#include "foundation/Cp932.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray sjis(const char* utf8)
{
    return Cp932::encode(QString::fromUtf8(utf8));
}

ModelCatalogue parsed(const char* utf8)
{
    ModelCatalogue catalogue;
    catalogue.parse(sjis(utf8), QStringLiteral("/p/mp_dat.sys"));
    return catalogue;
}

QString errorOf(const char* utf8)
{
    try {
        parsed(utf8);
    } catch (const CatalogueLineError& e) {
        return e.text();
    }
    return {};
}

} // namespace

TEST(CommaTextTest, SplitsByTheCommaTextRules)
{
    using L = QStringList;
    EXPECT_EQ(splitCommaText(u"a,b,c"), (L{"a", "b", "c"}));
    EXPECT_EQ(splitCommaText(u"  a , b\t,c"), (L{"a", "b", "c"}));
    EXPECT_EQ(splitCommaText(u"a,,b"), (L{"a", "", "b"}));
    EXPECT_EQ(splitCommaText(u"a,"), (L{"a"}));
    EXPECT_EQ(splitCommaText(u"a,,"), (L{"a", ""}));
    EXPECT_EQ(splitCommaText(u",a"), (L{"", "a"}));
    EXPECT_EQ(splitCommaText(u"\"x, \"\"y\"\"\",z"), (L{"x, \"y\"", "z"}));
    EXPECT_EQ(splitCommaText(u"Vodafone 902SH,1"), (L{"Vodafone", "902SH", "1"}));
    EXPECT_EQ(splitCommaText(u"\"\",a"), (L{"", "a"}));
    EXPECT_EQ(splitCommaText(u"\"open"), (L{"open"}));
    EXPECT_EQ(splitCommaText(u""), L{});
}

TEST(ModelCatalogueTest, ReadsEntriesCarriersAndNames)
{
    const ModelCatalogue c = parsed("header is ignored, whatever\r\n"
                                    "DoCoMo,F900i,メイン,FOMA,240,320,18,97600\r\n"
                                    "DoCoMo,F900i,サブ,,96,72,16,20480\r\n"
                                    "au,\"W21 S\",メイン,x,240,320,16,102400,ignored,fields\r\n"
                                    "DoCoMo,N900i,メイン,,240,320,18,97600\r\n");
    ASSERT_EQ(c.modelCount(), 4);
    EXPECT_EQ(c.carriers(), (QStringList{"DoCoMo", "au"}));
    EXPECT_EQ(c.modelNamesOf(QStringLiteral("DoCoMo")), (QStringList{"F900i", "F900i(サブ)", "N900i"}));
    const TModelEntry sub = c.FindModel(QStringLiteral("F900i(サブ)"));
    EXPECT_EQ(sub.Variant, QStringLiteral("サブ"));
    EXPECT_EQ(sub.Width, 96);
    EXPECT_EQ(sub.SizeLimit, 20480);
    EXPECT_EQ(c.FindModel(QStringLiteral("W21 S")).Extra, QStringLiteral("x"));
}

TEST(ModelCatalogueTest, AcceptsEveryLineEndAndStopsAtNul)
{
    const ModelCatalogue mixed = parsed("h\rA,a,メイン,,8,9,3,4\nA,b,メイン,,8,9,3,4\r\nA,c,メイン,,8,9,3,4");
    EXPECT_EQ(mixed.modelNamesOf(QStringLiteral("A")), (QStringList{"a", "b", "c"}));
    ModelCatalogue withNul;
    withNul.parse(QByteArray("h\nA,a,x,,8,9,3,4\n\0B,b,x,,8,9,3,4\n", 34), QStringLiteral("mp_dat.sys"));
    EXPECT_EQ(withNul.modelCount(), 1);
}

TEST(ModelCatalogueTest, HeaderOnlyAndEmptyFilesGiveAnEmptyCatalogue)
{
    for (const char* text : {"", "header\r\n", "header"}) {
        const ModelCatalogue c = parsed(text);
        EXPECT_EQ(c.modelCount(), 0) << text;
        EXPECT_TRUE(c.carriers().isEmpty());
        EXPECT_EQ(c.FindModel(QString()), defaultModel());
    }
}

TEST(ModelCatalogueTest, UnknownNameGivesTheDefaultModelAndTheFirstOfTwoNamesWins)
{
    const ModelCatalogue c = parsed("h\nau,X1,メイン,,100,200,16,1000\nDoCoMo,X1,メイン,,300,400,18,2000\n");
    EXPECT_EQ(c.FindModel(QStringLiteral("X1")).Carrier, QStringLiteral("au"));
    EXPECT_EQ(c.FindModel(QStringLiteral("x1")), defaultModel()); // case-sensitive
    const TModelEntry fallback = c.FindModel(QStringLiteral("nothing"));
    EXPECT_EQ(fallback.Width, 480);
    EXPECT_EQ(fallback.Height, 480);
    EXPECT_EQ(fallback.ColorBits, 24);
    EXPECT_EQ(fallback.SizeLimit, 10240);
    EXPECT_TRUE(fallback.Name.isEmpty());
}

TEST(ModelCatalogueTest, MalformedLinesStopTheLoadNamingFileAndLine)
{
    EXPECT_EQ(errorOf("h\nA,a,x,,8,9,3,4\nA,b,x,,8,2b,3,4\n"),
              QStringLiteral("'2b' は整数ではありません\n（mp_dat.sys の 3 行目）"));
    EXPECT_TRUE(errorOf("h\nA,a,x,,1,2,3\n").contains(QStringLiteral("2 行目")));
    // An empty line at the end is a line with too few fields.
    EXPECT_TRUE(errorOf("h\r\nA,a,x,,8,9,3,4\r\n\r\n").contains(QStringLiteral("3 行目")));

    ModelCatalogue c;
    EXPECT_THROW(c.parse(sjis("h\nA,a,x,,8,9,3,4\nA,b,x,,1,2,3,bad\n"), QStringLiteral("f")), CatalogueLineError);
    EXPECT_EQ(c.modelCount(), 1); // the lines before the fault stay
}

TEST(ModelCatalogueTest, HoldsAnyNumberOfEntriesAndCarriers)
{
    QByteArray text = "header\r\n";
    for (int i = 0; i < 1500; ++i)
        text += QStringLiteral("C%1,M%2,x,,8,9,3,4\r\n").arg(i % 40).arg(i).toLatin1();
    ModelCatalogue c;
    c.parse(text, QStringLiteral("f"));
    EXPECT_EQ(c.modelCount(), 1500);
    EXPECT_EQ(c.carriers().size(), 40);
    EXPECT_EQ(c.FindModel(QStringLiteral("M1499(x)")).Carrier, QStringLiteral("C19"));
}

TEST(ModelCatalogueTest, MissingFileKeepsWhatTheCatalogueHeld)
{
    ModelCatalogue c = parsed("h\nA,a,x,,8,9,3,4\n");
    QTemporaryDir dir;
    EXPECT_FALSE(c.load(dir.filePath(QStringLiteral("mp_dat.sys"))));
    EXPECT_EQ(c.modelCount(), 1);
}

TEST(ModelCatalogueTest, ShippedCatalogueIsComplete)
{
    ModelCatalogue c;
    ASSERT_TRUE(c.load(QStringLiteral(PICTOREL_SOURCE_DIR "/data/mp_dat.sys")));
    EXPECT_GE(c.carriers().size(), 3);
    EXPECT_GE(c.modelCount(), 40);
    const TModelEntry f900i = c.FindModel(QStringLiteral("F900i"));
    EXPECT_EQ(f900i.Carrier, QStringLiteral("DoCoMo"));
    EXPECT_EQ(f900i.Width, 240);
    EXPECT_EQ(f900i.Height, 320);
    EXPECT_EQ(f900i.ColorBits, 18);
    EXPECT_EQ(f900i.SizeLimit, 97600);
    EXPECT_NE(c.FindModel(QStringLiteral("F900i(サブ)")), defaultModel());
    EXPECT_NE(c.FindModel(QStringLiteral("Vodafone 902SH")), defaultModel());
}

TEST(ModelCatalogueTest, NumbersOutsideTheirBoundsAreMalformedLines)
{
    struct Case
    {
        const char* line;
        const char* error;
    };
    // Sides 8 to 4096, as the direct size entry takes them; the first line holds every bound itself.
    const Case cases[] = {
        {"A,a,x,,2147483647,320,16,9000", "'2147483647' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,240,30000,16,9000", "'30000' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,4097,320,16,9000", "'4097' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,240,8192,16,9000", "'8192' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,7,320,16,9000", "'7' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,0,320,16,9000", "'0' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,240,-5,16,9000", "'-5' は 8 から 4096 まででなければなりません"},
        {"A,a,x,,240,320,16,0", "'0' は 1 以上でなければなりません"},
        {"A,a,x,,240,320,16,-1", "'-1' は 1 以上でなければなりません"},
        {"A,a,x,,240,320,0,9000", "'0' は 1 から 32 まででなければなりません"},
        {"A,a,x,,240,320,33,9000", "'33' は 1 から 32 まででなければなりません"},
        {"A,a,x,,240,320,2147483647,9000", "'2147483647' は 1 から 32 まででなければなりません"},
    };
    for (const Case& c : cases) {
        const QByteArray text = QByteArray("h\r\nB,b,x,,8,4096,32,1\r\nB,c,x,,4096,8,1,1\r\n") + c.line + "\r\n";
        EXPECT_EQ(errorOf(text.constData()), QString::fromUtf8(c.error) + QStringLiteral("\n（mp_dat.sys の 4 行目）"))
            << c.line;
    }
}

TEST(ModelCatalogueTest, ACatalogueThatIsNotARegularFileIsALoadError)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("mp_dat.sys"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ModelCatalogue c;
    try {
        c.load(fifo); // must not wait for a writer
        ADD_FAILURE() << "a FIFO loaded";
    } catch (const ProgramError& e) {
        EXPECT_TRUE(e.text().startsWith(fifo + QStringLiteral(" を読み込めませんでした。")));
    }
}
