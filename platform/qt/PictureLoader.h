#pragma once

// Reads a GIF or JPEG picture and, when it cannot be used, says why in German, naming
// the file, so that a teacher can tell a missing file from a damaged one.
// The format comes from the name; the file must really be of that format and complete
// (a GIF ends with its trailer byte 0x3B, a JPEG with the end-of-image marker FF D9).

#include <QImage>
#include <QString>

namespace PictureLoader {

struct Result {
    QImage image;     // null when the file cannot be used
    QString problem;  // the message for the user; empty on success
    bool ok() const { return problem.isEmpty(); }
};

// fileName is relative to the current directory (or absolute).
Result load(const QString& fileName);

} // namespace PictureLoader
