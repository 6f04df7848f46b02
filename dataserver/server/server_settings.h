#pragma once
// What an operator sets for the answers (command-line options of `serve`).

#include <string>

#include "catalogue/request_texts.h"

namespace kinvo::ds {

struct ServerSettings {
    std::string host = "127.0.0.1";                       // sent by /redirect35.asp
    std::string minVersion = "3.9";                       // older browsers hear "Version NO"
    std::string defaultCategory{wire::kDefaultCategory};  // answers names the catalogue lacks
    int searchLimit = 50;                                 // most results of one search
    int popularLimit = 50;                                // length of the popular list
};

}  // namespace kinvo::ds
