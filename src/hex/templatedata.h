#pragma once

#include <string_view>

namespace tavrin::hex::detail {

// The record lines of a firmware template as shipped in src/hex/templates/, one a line;
// empty for a number that has no template. Generated into the library at build time.
std::string_view embeddedTemplate(int variant);

} // namespace tavrin::hex::detail
