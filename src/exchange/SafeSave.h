#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a file in one piece: into a temporary file beside it, renamed over the old
// file only when every byte is on disk. Returns why it failed, or an empty text; on failure
// the old file is left as it was and no temporary file remains.
QString saveWhole(const QString &path, const QByteArray &bytes);
