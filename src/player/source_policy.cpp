#include "player/source_policy.h"

#include <QDir>
#include <QFile>
#include <filesystem>

namespace player {

bool isPlayableLocalFile(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(u'\0')) || !QDir::isAbsolutePath(path)) return false;
    const QByteArray native = QFile::encodeName(path);
    std::error_code error;
    const auto status =
        std::filesystem::status(std::string(native.constData(), native.size()), error);
    return !error && std::filesystem::is_regular_file(status);
}

}  // namespace player
