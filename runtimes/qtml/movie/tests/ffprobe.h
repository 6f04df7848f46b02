#pragma once
// FFmpeg's own view of a test movie, as the reference the runtime's tests compare against.

#include <map>
#include <string>

namespace kinvo::qtml::testing {

// ffprobe's "key=value" lines for the first video stream (width, height, sample_aspect_ratio)
// and the container (duration, TAG:title); empty when ffprobe cannot read the file.
std::map<std::string, std::string> probe(const std::string& file);

}  // namespace kinvo::qtml::testing
