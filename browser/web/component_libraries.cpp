#include "browser/web/component_libraries.h"

#include "browser/web/unconnected_playback_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>

namespace kinvo::web {
namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

ComponentLibraries::ComponentLibraries(const QString& folder) {
    if (folder.isEmpty()) {
        return;
    }
    const QDir dir(folder);
    for (const QFileInfo& table :
         dir.entryInfoList({QStringLiteral("*.classes")}, QDir::Files, QDir::Name)) {
        QFile file(table.filePath());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            continue;
        }
        const QString library = dir.filePath(table.completeBaseName() + QStringLiteral(".so"));
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (!line.isEmpty() && !line.startsWith('#')) {
                // The first table to name an identifier keeps it.
                classes_.emplace(upper(line.toStdString()), library);
            }
        }
    }
}

ComponentLibraries::~ComponentLibraries() {
    // The libraries stay loaded: threads of released objects may still be finishing in them.
}

std::optional<QString> ComponentLibraries::libraryFor(const std::string& identifier) const {
    const auto found = classes_.find(upper(identifier));
    if (found == classes_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void* ComponentLibraries::entry(const std::string& identifier, const char* name) {
    const std::optional<QString> path = libraryFor(identifier);
    if (!path) {
        return nullptr;
    }
    auto loaded = handles_.find(*path);
    if (loaded == handles_.end()) {
        void* handle = ::dlopen(QFile::encodeName(*path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            std::fprintf(stderr, "kinvo: component %s not loaded: %s\n",
                         path->toLocal8Bit().constData(), ::dlerror());
        }
        loaded = handles_.emplace(*path, handle).first;
    }
    return loaded->second == nullptr ? nullptr : ::dlsym(loaded->second, name);
}

ControlPtr ComponentLibraries::createPlaybackControl() {
    static const std::string kControlClass = "7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8";
    using Create = component::PlaybackControl* (*)(std::uint32_t);
    if (auto create =
            reinterpret_cast<Create>(entry(kControlClass, "KinvoCreatePlaybackControl"))) {
        if (component::PlaybackControl* control = create(component::kAbiVersion)) {
            return ControlPtr(control);
        }
    }
    return ControlPtr(new UnconnectedPlaybackControl());
}

PlayerPtr ComponentLibraries::createPlayer(const std::string& classId) {
    using Create = component::MediaPlayer* (*)(const char*, std::uint32_t);
    auto create = reinterpret_cast<Create>(entry(classId, "KinvoCreateMediaPlayer"));
    return PlayerPtr(create != nullptr ? create(classId.c_str(), component::kAbiVersion) : nullptr);
}

std::optional<ComponentLibraries::ProbeAnswer> ComponentLibraries::probe(const std::string& progId,
                                                                         const char* member) {
    using Probe = std::int32_t (*)(const char*, const char*, char*, std::int32_t);
    auto query = reinterpret_cast<Probe>(entry(progId, "KinvoProbe"));
    if (query == nullptr) {
        return std::nullopt;
    }
    char text[256] = {};
    const std::int32_t result = query(progId.c_str(), member, text, sizeof text);
    if (result < 0) {
        return std::nullopt;
    }
    text[sizeof text - 1] = '\0';
    return ProbeAnswer{result == 1, text};
}

}  // namespace kinvo::web
