#pragma once

// A short sound read from a RIFF WAV file and made ready for the click mixer:
// PCM 8 or 16 bit, mono or stereo, any rate in; 16-bit mono at the mixer's rate out.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace WavClip {

struct Result {
    std::vector<int16_t> samples;
    QString problem;   // empty on success; else a German clause, e.g. "die Datei ist leer"
    bool ok() const { return problem.isEmpty(); }
};

Result decode(const QByteArray& fileContent, int outputRate);
Result read(const QString& fileName, int outputRate);

} // namespace WavClip
