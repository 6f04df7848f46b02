#include "browser/core/program_folder.h"

#include <QDir>

namespace kinvo {

QString programFolder() {
    QString folder = qEnvironmentVariable("KINVO_HOME");
    if (folder.isEmpty()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty()) {
            data = QDir::homePath() + QStringLiteral("/.local/share");
        }
        folder = data + QStringLiteral("/Kinvo");
    }
    QDir().mkpath(folder);
    return folder;
}

}  // namespace kinvo
