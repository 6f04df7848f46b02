#pragma once
// The program folder of a component library: the parent of the folder that holds the library
// ("<program folder>/Components/<name>.so"), found from the address of one of its own symbols.
#include <string>

namespace kinvo::controls {

// The folder of the loaded object that contains `symbol`, without a trailing "/"; "" when the
// address belongs to no loaded object. Any thread.
std::string folderOfObject(const void* symbol);
// The parent of folderOfObject(symbol); "" when that is unknown.
std::string programFolderOf(const void* symbol);

}  // namespace kinvo::controls
