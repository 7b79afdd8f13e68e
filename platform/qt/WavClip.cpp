#include "platform/qt/WavClip.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace WavClip {

namespace {

struct PcmFormat {
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

uint16_t u16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<uint16_t>(data.constData() + at);
}

uint32_t u32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<uint32_t>(data.constData() + at);
}

Result failure(const QString& why)
{
    return Result{{}, why};
}

// One frame's channels averaged to one 16-bit value.
int16_t monoSample(const char* frame, const PcmFormat& format)
{
    int sum = 0;
    for (int channel = 0; channel < format.channels; ++channel) {
        if (format.bits == 8)
            sum += (static_cast<unsigned char>(frame[channel]) - 128) * 256;
        else
            sum += qFromLittleEndian<int16_t>(frame + 2 * channel);
    }
    return static_cast<int16_t>(sum / format.channels);
}

std::vector<int16_t> resampled(const std::vector<int16_t>& in, int inRate, int outRate)
{
    if (inRate == outRate || in.size() < 2)
        return in;
    // Linear interpolation is plenty for a click of a few milliseconds.
    const double step = static_cast<double>(inRate) / outRate;
    const auto outCount = static_cast<size_t>(std::floor((in.size() - 1) / step)) + 1;
    std::vector<int16_t> out(outCount);
    for (size_t i = 0; i < outCount; ++i) {
        const double position = i * step;
        const auto left = static_cast<size_t>(position);
        const size_t right = std::min(left + 1, in.size() - 1);
        const double fraction = position - static_cast<double>(left);
        out[i] = static_cast<int16_t>(std::lround(in[left] * (1.0 - fraction) + in[right] * fraction));
    }
    return out;
}

} // namespace

Result decode(const QByteArray& data, int outputRate)
{
    if (data.isEmpty())
        return failure(QStringLiteral("die Datei ist leer"));
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return failure(QStringLiteral("das ist keine WAV-Datei"));

    PcmFormat format;
    bool haveFormat = false;
    QByteArray pcm;
    bool haveData = false;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const qsizetype size = u32(data, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && body + 16 <= data.size()) {
            const int tag = u16(data, body);
            const bool extensiblePcm = tag == 0xFFFE && size >= 26 && body + 26 <= data.size()
                && u16(data, body + 24) == 1;
            if (tag != 1 && !extensiblePcm)
                return failure(QStringLiteral("der Ton ist nicht als unkomprimiertes PCM gespeichert"));
            format.channels = u16(data, body + 2);
            format.rate = static_cast<int>(u32(data, body + 4));
            format.bits = u16(data, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            // A file cut short keeps what it has.
            pcm = data.mid(body, std::min<qsizetype>(size, data.size() - body));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat)
        return failure(QStringLiteral("die Datei ist unvollst\u00e4ndig, ihr fehlt die Formatangabe"));
    if (format.channels < 1 || format.rate < 1000 || (format.bits != 8 && format.bits != 16))
        return failure(QStringLiteral("nur PCM mit 8 oder 16 Bit wird unterst\u00fctzt"));
    if (!haveData || pcm.isEmpty())
        return failure(QStringLiteral("die Datei ist unvollst\u00e4ndig, ihr fehlen die Tondaten"));

    const int frameBytes = format.channels * format.bits / 8;
    const qsizetype frames = pcm.size() / frameBytes;
    std::vector<int16_t> mono(static_cast<size_t>(frames));
    for (qsizetype i = 0; i < frames; ++i)
        mono[static_cast<size_t>(i)] = monoSample(pcm.constData() + i * frameBytes, format);
    return Result{resampled(mono, format.rate, outputRate), QString()};
}

Result read(const QString& fileName, int outputRate)
{
    QFile file(fileName);
    if (!file.exists())
        return failure(QStringLiteral("die Datei fehlt im Programmordner"));
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("die Datei l\u00e4sst sich nicht lesen"));
    return decode(file.readAll(), outputRate);
}

} // namespace WavClip
