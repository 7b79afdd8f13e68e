// Pictures: GIF and JPEG by file name from the current folder, stretched into a rectangle;
// every kind of unusable file is told to the user in German, naming the file, and the
// program goes on without the picture. The test makes its own files in a private folder.

#include "QtTestSupport.h"

#include "platform/qt/PictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qttest;

namespace {

// A 1 x 1 GIF whose only pixel is red: header, two-colour table, one image, trailer 0x3B.
const QByteArray kRedPixelGif = QByteArray::fromHex(
    "474946383961" "01000100" "800000" "ff0000" "000000"
    "2c00000000010001000002024401003b");

void writeFile(const QString& name, const QByteArray& content)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage testImage(QColor colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        binding = makePlatform();
        binding->setCurrentFolder(folder.path().toStdString());
        binding->setWindowBackground(kWhite);
        binding->clearWindow();
    }

    // Loads through the binding with a user who reads and closes the box; returns the id.
    PictureId loadAnswering(const std::string& name, QString* boxText)
    {
        BoxAnswerer user;
        const PictureId id = binding->loadPicture(name);
        if (boxText)
            *boxText = user.seen.empty() ? QString() : user.seen.front().text;
        EXPECT_LE(user.seen.size(), 1u);
        return id;
    }

    QTemporaryDir folder;
    std::unique_ptr<QtPlatform> binding;
};

struct Fault {
    const char* name;
    QByteArray content;
    bool create;
    const char* phrase;   // what the German message must say
};

} // namespace

TEST_F(PictureTest, ProgramFolderIsWhereTheRunningProgramLies)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    EXPECT_EQ(QString::fromStdString(binding->programFolder()), QFileInfo(exe).absolutePath());
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(folder.path()).canonicalPath());
}

TEST_F(PictureTest, GifAndJpegAreDrawnStretchedIntoTheRectangle)
{
    writeFile(QStringLiteral("rot.gif"), kRedPixelGif);
    writeFile(QStringLiteral("blau.jpg"), encoded(testImage(Qt::blue), "JPEG"));

    QString problem;
    const PictureId red = loadAnswering("rot.gif", &problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    const PictureId blue = loadAnswering("blau.jpg", &problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_NE(red, 0);
    ASSERT_NE(blue, 0);
    EXPECT_NE(red, blue);

    binding->drawPicture(red, 10, 10, 40, 30);
    const PixelCanvas& canvas = binding->canvas();
    EXPECT_EQ(canvas.colourAt(10, 10), kRed);
    EXPECT_EQ(canvas.colourAt(49, 39), kRed);
    EXPECT_EQ(canvas.colourAt(50, 25), kWhite);
    EXPECT_EQ(canvas.colourAt(25, 40), kWhite);
    EXPECT_EQ(canvas.colourAt(9, 25), kWhite);

    binding->drawPicture(blue, 100, 100, 200, 50);
    const QRgb middle = canvas.image().pixel(200, 125);
    EXPECT_LT(qRed(middle), 20);
    EXPECT_GT(qBlue(middle), 235);
    EXPECT_EQ(canvas.colourAt(301, 125), kWhite);

    binding->releasePicture(red);
    binding->setForeground(kGreen);
    binding->fillRectangle(10, 10, 49, 39);
    binding->drawPicture(red, 10, 10, 40, 30);   // released: nothing drawn
    EXPECT_EQ(canvas.colourAt(20, 20), kGreen);
}

TEST_F(PictureTest, UnusableFilesAreToldInGermanAndGiveNoPicture)
{
    QByteArray randomBytes(4000, '\0');
    QRandomGenerator generator(7);
    for (char& byte : randomBytes)
        byte = static_cast<char>(generator.bounded(256));
    randomBytes[0] = 'x';   // certainly no picture header
    const QByteArray jpeg = encoded(testImage(Qt::green), "JPEG");
    const QByteArray png = encoded(testImage(Qt::green), "PNG");
    const QByteArray jpegWithGarbage = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'j') + QByteArray("\xFF\xD9", 2);

    const std::vector<Fault> faults = {
        {"bild3c2.gif", {}, false, "fehlt im Programmordner"},
        {"leer.gif", {}, true, "ist leer"},
        {"halb.jpg", jpeg.left(jpeg.size() / 2), true, "unvollst\u00e4ndig"},
        {"halb.gif", kRedPixelGif.chopped(1), true, "unvollst\u00e4ndig"},
        {"zufall.jpg", randomBytes, true, "kein JPEG-Bild"},
        {"png.gif", png, true, "kein GIF-Bild"},
        {"kaputt.jpg", jpegWithGarbage, true, "besch\u00e4digt"},
    };
    binding->setForeground(kBlack);
    binding->fillRectangle(0, 0, 20, 20);
    const QImage before = binding->canvas().image().copy();

    for (const Fault& fault : faults) {
        if (fault.create)
            writeFile(QString::fromUtf8(fault.name), fault.content);
        QString text;
        const PictureId id = loadAnswering(fault.name, &text);
        EXPECT_EQ(id, 0) << fault.name;
        EXPECT_TRUE(text.contains(QStringLiteral("\u201e%1\u201c").arg(QString::fromUtf8(fault.name))))
            << fault.name << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(fault.phrase))) << fault.name << ": " << text.toStdString();
        binding->drawPicture(id, 0, 0, 100, 100);
        EXPECT_EQ(binding->canvas().image(), before) << fault.name;
    }
}

TEST_F(PictureTest, TheMessageSaysWhatTheMisnamedFileReallyHolds)
{
    writeFile(QStringLiteral("titel.jpg"), kRedPixelGif);
    const PictureLoader::Result result = PictureLoader::load(QStringLiteral("titel.jpg"));
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.image.isNull());
    EXPECT_TRUE(result.problem.contains(QStringLiteral("kein JPEG-Bild"))) << result.problem.toStdString();
    EXPECT_TRUE(result.problem.contains(QStringLiteral("ein GIF-Bild"))) << result.problem.toStdString();

    const PictureLoader::Result missing = PictureLoader::load(QStringLiteral("fehlt.gif"));
    EXPECT_TRUE(missing.problem.contains(QDir::toNativeSeparators(QDir(folder.path()).absolutePath())))
        << missing.problem.toStdString();
}
