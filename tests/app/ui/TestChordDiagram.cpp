// The diagram's names under a font set-up of the test's own: a "Tahoma" with Latin letters only,
// beside a font that has Cyrillic. Fontconfig reads its set-up once, so the whole program runs
// on it.
#include "app/core/Diagram.h"
#include "app/ui/ChordDiagram.h"
#include "GuiApp.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const char CyrillicFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

// A bitmap font of hollow boxes for the printable ASCII letters and nothing else.
QByteArray LatinOnlyTahoma()
{
    QByteArray bdf = "STARTFONT 2.1\n"
                     "FONT -misc-tahoma-medium-r-normal--11-80-100-100-c-60-iso10646-1\n"
                     "SIZE 8 100 100\nFONTBOUNDINGBOX 6 11 0 -2\nSTARTPROPERTIES 6\n"
                     "FAMILY_NAME \"Tahoma\"\nPIXEL_SIZE 11\nFONT_ASCENT 9\nFONT_DESCENT 2\n"
                     "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS 95\n";
    for (int c = 0x20; c < 0x7F; ++c) {
        bdf += "STARTCHAR U" + QByteArray::number(c) + "\nENCODING " + QByteArray::number(c) +
               "\nSWIDTH 545 0\nDWIDTH 6 0\nBBX 6 11 0 -2\nBITMAP\n";
        bdf += c == 0x20 ? QByteArray("00\n").repeated(11) : "F8\n" + QByteArray("88\n").repeated(8) + "F8\n00\n";
        bdf += "ENDCHAR\n";
    }
    return bdf + "ENDFONT\n";
}

class ChordDiagramFonts : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Dir = std::make_unique<QTemporaryDir>();
        const QString fonts = Dir->filePath(QStringLiteral("fonts"));
        QDir().mkpath(fonts);
        QFile bdf(fonts + QStringLiteral("/tahoma.bdf"));
        if (bdf.open(QIODevice::WriteOnly))
            bdf.write(LatinOnlyTahoma());
        bdf.close();
        QFile::link(QString::fromLatin1(CyrillicFont), fonts + QStringLiteral("/cyrillic.ttf"));
        QFile conf(Dir->filePath(QStringLiteral("fonts.conf")));
        if (conf.open(QIODevice::WriteOnly))
            conf.write(QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>\n")
                           .arg(fonts, Dir->filePath(QStringLiteral("cache")))
                           .toUtf8());
        conf.close();
        qputenv("FONTCONFIG_FILE", conf.fileName().toLocal8Bit());
        EnsureApp();
    }
    static void TearDownTestSuite() { Dir.reset(); }
    static inline std::unique_ptr<QTemporaryDir> Dir;
};

// Dark pixels in a band of the frame.
int Ink(const QImage &image, const QRect &band)
{
    int dark = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
    return dark;
}

TEST_F(ChordDiagramFonts, RussianNoteNamesTakeTheirLettersFromAFontThatHasThem)
{
    if (!QFile::exists(QString::fromLatin1(CyrillicFont)))
        GTEST_SKIP() << "no DejaVu Serif";
    const QStringList names{QStringLiteral("до"), QStringLiteral("соль"), QStringLiteral("ля"), QStringLiteral("ре"),
                            QStringLiteral("ми"), QStringLiteral("си")};
    const struct
    {
        bool rightHand;
        int left;
        int right;
    } cases[] = {
        {true, Diagram::PBLeft(true) + Diagram::PBWidth, Diagram::BackWidth - 1},
        {false, 0, Diagram::PBLeft(false) - 1},
    };
    for (const auto &c : cases) {
        QImage back(Diagram::BackWidth, Diagram::BackHeight, QImage::Format_RGB32);
        back.fill(Qt::white);
        {
            QPainter p(&back);
            DiagramPaint::DrawNoteNames(p, names, Diagram::PBLeft(c.rightHand), c.rightHand);
        }
        for (int n = 0; n < names.size(); ++n) {
            const QRect band(QPoint(c.left, Diagram::PBTop + n * 20), QPoint(c.right, Diagram::PBTop + n * 20 + 15));
            EXPECT_GT(Ink(back, band), 10) << "right hand " << c.rightHand << ", " << names[n].toStdString();
        }
    }
}

} // namespace
