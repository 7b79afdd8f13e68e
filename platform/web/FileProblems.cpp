#include "platform/web/FileProblems.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace FileProblems {

namespace {

enum class Format { Gif, Jpeg, Png, Bmp, Unknown };

std::string quoted(const std::string& fileName)
{
    return "\u201e" + fileName + "\u201c";
}

std::string nameOf(Format format)
{
    switch (format) {
    case Format::Gif:
        return "GIF";
    case Format::Jpeg:
        return "JPEG";
    case Format::Png:
        return "PNG";
    case Format::Bmp:
        return "BMP";
    case Format::Unknown:
        break;
    }
    return std::string();
}

Format formatByName(const std::string& fileName)
{
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos)
        return Format::Unknown;
    std::string suffix = fileName.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "gif")
        return Format::Gif;
    if (suffix == "jpg" || suffix == "jpeg" || suffix == "jpe")
        return Format::Jpeg;
    return Format::Unknown;
}

bool startsWith(const std::vector<uint8_t>& data, std::string_view magic)
{
    return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin(),
                                                      [](char m, uint8_t d) { return static_cast<uint8_t>(m) == d; });
}

Format formatByContent(const std::vector<uint8_t>& data)
{
    if (startsWith(data, "GIF87a") || startsWith(data, "GIF89a"))
        return Format::Gif;
    if (startsWith(data, "\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (startsWith(data, "\x89PNG\r\n\x1a\n"))
        return Format::Png;
    if (startsWith(data, "BM"))
        return Format::Bmp;
    return Format::Unknown;
}

bool isComplete(const std::vector<uint8_t>& data, Format format)
{
    // Some writers pad a file after its end marker; a few trailing zero bytes are allowed.
    size_t end = data.size();
    while (end > 0 && data[end - 1] == 0 && data.size() - end < 16)
        --end;
    if (format == Format::Gif)
        return end > 0 && data[end - 1] == 0x3B;
    return end >= 2 && data[end - 2] == 0xFF && data[end - 1] == 0xD9;
}

std::string pictureFailure(const std::string& message)
{
    return message + "||Das Programm l\u00e4uft ohne dieses Bild weiter.";
}

std::string clickFailure(const std::string& fileName, const std::string& reason)
{
    return "Der Klickton " + quoted(fileName) + " ist nicht verwendbar: " + reason
           + ".|Die Z\u00e4hlimpulse bleiben stumm.";
}

} // namespace

std::string ofPicture(const std::string& fileName, const Bytes& bytes)
{
    const std::string shown = quoted(fileName);
    if (!bytes)
        return pictureFailure("Das Bild " + shown + " fehlt in dieser Seite.");
    const Format expected = formatByName(fileName);
    if (expected == Format::Unknown)
        return pictureFailure(shown + " ist weder ein GIF- noch ein JPEG-Bild.");
    if (bytes->empty())
        return pictureFailure(shown + " ist leer (0 Byte).");
    const Format actual = formatByContent(*bytes);
    if (actual != expected) {
        const std::string content = actual == Format::Unknown ? "unbekannte Daten" : "ein " + nameOf(actual) + "-Bild";
        return pictureFailure(shown + " ist kein " + nameOf(expected) + "-Bild: die Datei enth\u00e4lt " + content + ".");
    }
    if (!isComplete(*bytes, expected))
        return pictureFailure(shown + " ist besch\u00e4digt: die Datei ist unvollst\u00e4ndig (abgeschnitten).");
    return std::string();
}

std::string ofUndecodablePicture(const std::string& fileName)
{
    return pictureFailure(quoted(fileName) + " ist besch\u00e4digt und l\u00e4sst sich nicht lesen (der Browser kann es nicht dekodieren).");
}

std::string ofClick(const std::string& fileName, const Bytes& bytes)
{
    if (!bytes)
        return clickFailure(fileName, "die Datei fehlt in dieser Seite");
    if (bytes->empty())
        return clickFailure(fileName, "die Datei ist leer");
    const bool wave = bytes->size() >= 12 && startsWith(*bytes, "RIFF")
                      && std::equal(bytes->begin() + 8, bytes->begin() + 12, "WAVE");
    if (!wave)
        return clickFailure(fileName, "das ist keine WAV-Datei");
    return std::string();
}

std::string ofUndecodableClick(const std::string& fileName)
{
    return clickFailure(fileName, "der Browser kann den Ton nicht dekodieren");
}

} // namespace FileProblems
