#include "platform/qt/PictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace PictureLoader {

namespace {

enum class Format { Gif, Jpeg, Png, Bmp, Unknown };

QString quoted(const QString& fileName)
{
    return QStringLiteral("\u201e%1\u201c").arg(fileName);
}

QString nameOf(Format format)
{
    switch (format) {
    case Format::Gif:
        return QStringLiteral("GIF");
    case Format::Jpeg:
        return QStringLiteral("JPEG");
    case Format::Png:
        return QStringLiteral("PNG");
    case Format::Bmp:
        return QStringLiteral("BMP");
    case Format::Unknown:
        break;
    }
    return QString();
}

Format formatByName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("gif"))
        return Format::Gif;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpe"))
        return Format::Jpeg;
    return Format::Unknown;
}

Format formatByContent(const QByteArray& data)
{
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return Format::Gif;
    if (data.startsWith("\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return Format::Png;
    if (data.startsWith("BM"))
        return Format::Bmp;
    return Format::Unknown;
}

bool isComplete(const QByteArray& data, Format format)
{
    // Some writers pad a file after its end marker; a few trailing zero bytes are allowed.
    qsizetype end = data.size();
    while (end > 0 && data.at(end - 1) == '\0' && data.size() - end < 16)
        --end;
    if (format == Format::Gif)
        return end > 0 && static_cast<unsigned char>(data.at(end - 1)) == 0x3B;
    return end >= 2 && static_cast<unsigned char>(data.at(end - 2)) == 0xFF
        && static_cast<unsigned char>(data.at(end - 1)) == 0xD9;
}

Result failure(const QString& message)
{
    return Result{QImage(), message + QStringLiteral("\n\nDas Programm l\u00e4uft ohne dieses Bild weiter.")};
}

} // namespace

Result load(const QString& fileName)
{
    const QString shown = quoted(fileName);
    const QFileInfo info(fileName);
    if (!info.exists()) {
        return failure(QStringLiteral("Das Bild %1 fehlt im Programmordner\n%2.")
                           .arg(shown, QDir::toNativeSeparators(info.absolutePath())));
    }
    if (info.isDir())
        return failure(QStringLiteral("%1 ist ein Ordner, kein Bild.").arg(shown));

    const Format expected = formatByName(fileName);
    if (expected == Format::Unknown)
        return failure(QStringLiteral("%1 ist weder ein GIF- noch ein JPEG-Bild.").arg(shown));

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1 l\u00e4sst sich nicht lesen: %2.").arg(shown, file.errorString()));
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return failure(QStringLiteral("%1 ist leer (0 Byte).").arg(shown));

    const Format actual = formatByContent(data);
    if (actual != expected) {
        const QString content = actual == Format::Unknown
            ? QStringLiteral("unbekannte Daten")
            : QStringLiteral("ein %1-Bild").arg(nameOf(actual));
        return failure(QStringLiteral("%1 ist kein %2-Bild: die Datei enth\u00e4lt %3.")
                           .arg(shown, nameOf(expected), content));
    }
    if (!isComplete(data, expected)) {
        return failure(QStringLiteral("%1 ist besch\u00e4digt: die Datei ist unvollst\u00e4ndig (abgeschnitten).")
                           .arg(shown));
    }

    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, expected == Format::Gif ? "gif" : "jpeg");
    QImage image = reader.read();
    if (image.isNull()) {
        return failure(QStringLiteral("%1 ist besch\u00e4digt und l\u00e4sst sich nicht lesen (%2).")
                           .arg(shown, reader.errorString()));
    }
    return Result{image, QString()};
}

} // namespace PictureLoader
