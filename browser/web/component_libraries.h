#pragma once
// The installed components: the libraries of a components folder, found by class identifier
// or programmatic identifier through the "<name>.classes" tables beside them (see
// controls/abi/component.h). A library is loaded on first use and stays loaded for the
// object's life, which must outlast every object made from it (the browser keeps one for its
// run). A library that cannot be loaded, lacks the entry or was built for another version
// counts as not installed (the reason goes to stderr once). User-interface thread only.

#include "browser/web/component_factory.h"

#include <QString>

#include <map>
#include <optional>
#include <string>

namespace kinvo::web {

class ComponentLibraries : public ComponentFactory {
  public:
    // Reads the class tables of folder (an empty or missing folder: nothing is installed).
    explicit ComponentLibraries(const QString& folder);
    ~ComponentLibraries() override;
    ComponentLibraries(const ComponentLibraries&) = delete;
    ComponentLibraries& operator=(const ComponentLibraries&) = delete;

    // The library file serving identifier (case ignored), if a table names it.
    std::optional<QString> libraryFor(const std::string& identifier) const;

    ControlPtr createPlaybackControl() override;
    PlayerPtr createPlayer(const std::string& classId) override;

    // The answer of a probe object's member (KinvoProbe): nullopt when no installed library
    // has the object; otherwise whether the member answered, and its text.
    struct ProbeAnswer {
        bool answered = false;
        std::string text;
    };
    std::optional<ProbeAnswer> probe(const std::string& progId, const char* member);

  private:
    // The loaded library's entry, null when it is missing or cannot be loaded.
    void* entry(const std::string& identifier, const char* name);

    std::map<std::string, QString> classes_;  // upper-case identifier -> library path
    std::map<QString, void*> handles_;        // library path -> dlopen handle (null: failed)
};

}  // namespace kinvo::web
