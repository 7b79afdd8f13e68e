// Pictures: GIF and JPEG by file name from the current folder, stretched into a rectangle;
// every kind of unusable file is told to the user in German, naming the file, and the
// program goes on without the picture. The test makes its own files in a private folder.

#include "QtTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace qttest;

namespace {

// A 1 x 1 GIF whose only pixel is red: header, two-colour table, one image, trailer 0x3B.
const QByteArray kRedPixelGif =
    QByteArray::fromHex("474946383961" "01000100" "800000" "ff0000" "000000" "2c00000000010001000002024401003b");

QByteArray encoded(QColor colour, const char* format)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class PictureTest : public BindingTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        BindingTest::SetUp();
        binding->setCurrentFolder(folder.path().toStdString());
    }

    // Loads through the binding with a user who reads and closes the box (at most one).
    PictureId loadAnswering(const std::string& name, QString* boxText = nullptr)
    {
        BoxAnswerer user;
        const PictureId id = binding->loadPicture(name);
        EXPECT_LE(user.seen.size(), 1u);
        if (boxText)
            *boxText = user.seen.empty() ? QString() : user.seen.front().text;
        else
            EXPECT_TRUE(user.seen.empty()) << name;
        return id;
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(PictureTest, GifAndJpegFromTheCurrentFolderAreDrawnStretched)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    EXPECT_EQ(QString::fromStdString(binding->programFolder()), QFileInfo(exe).absolutePath());
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(folder.path()).canonicalPath());

    writeFile(QStringLiteral("rot.gif"), kRedPixelGif);
    writeFile(QStringLiteral("blau.jpg"), encoded(Qt::blue, "JPEG"));
    const PictureId red = loadAnswering("rot.gif"), blue = loadAnswering("blau.jpg");
    ASSERT_NE(red, 0);
    ASSERT_NE(blue, 0);
    EXPECT_NE(red, blue);

    binding->drawPicture(red, 10, 10, 40, 30);
    EXPECT_EQ(count(QRect(10, 10, 40, 30), kRed), 40 * 30);
    EXPECT_EQ(count(QRect(9, 9, 42, 32), kRed), 40 * 30);   // and not a pixel beyond
    binding->drawPicture(blue, 100, 100, 200, 50);
    const QRgb middle = binding->canvas().image().pixel(200, 125);
    EXPECT_LT(qRed(middle), 20);
    EXPECT_GT(qBlue(middle), 235);
    EXPECT_EQ(at(301, 125), kWhite);

    binding->releasePicture(red);
    binding->setForeground(kGreen);
    binding->fillRectangle(10, 10, 49, 39);
    binding->drawPicture(red, 10, 10, 40, 30);   // released: nothing drawn
    EXPECT_EQ(at(20, 20), kGreen);
}

TEST_F(PictureTest, UnusableFilesAreToldInGermanNamingTheFileAndGiveNoPicture)
{
    QByteArray randomBytes(4000, '\0');
    QRandomGenerator generator(7);
    for (char& byte : randomBytes)
        byte = static_cast<char>(generator.bounded(256));
    randomBytes[0] = 'x';   // certainly no picture header
    const QByteArray jpeg = encoded(Qt::green, "JPEG");
    const QString folderShown = QDir::toNativeSeparators(QDir(folder.path()).absolutePath());
    struct Fault { const char* name; QByteArray content; bool create; QStringList phrases; };
    const Fault faults[] = {
        {"bild3c2.gif", {}, false, {"fehlt im Programmordner", folderShown}},
        {"leer.gif", {}, true, {"ist leer"}},
        {"halb.jpg", jpeg.left(jpeg.size() / 2), true, {"unvollst\u00e4ndig"}},
        {"halb.gif", kRedPixelGif.chopped(1), true, {"unvollst\u00e4ndig"}},
        {"zufall.jpg", randomBytes, true, {"kein JPEG-Bild"}},
        {"png.gif", encoded(Qt::green, "PNG"), true, {"kein GIF-Bild"}},
        {"titel.jpg", kRedPixelGif, true, {"kein JPEG-Bild", "ein GIF-Bild"}},
        {"kaputt.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'j') + QByteArray("\xFF\xD9", 2), true,
         {"besch\u00e4digt"}},
    };
    binding->fillRectangle(0, 0, 20, 20);
    const QImage before = snapshot();
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        if (fault.create)
            writeFile(QString::fromUtf8(fault.name), fault.content);
        QString text;
        const PictureId id = loadAnswering(fault.name, &text);
        EXPECT_EQ(id, 0);
        const QStringList phrases = fault.phrases + QStringList{QStringLiteral("\u201e%1\u201c").arg(fault.name)};
        for (const QString& phrase : phrases)
            EXPECT_TRUE(text.contains(phrase)) << phrase.toStdString() << " in " << text.toStdString();
        binding->drawPicture(id, 0, 0, 100, 100);
        EXPECT_EQ(snapshot(), before);
    }
}
