// A path as people paste it at a prompt, made the path it stands for.
#pragma once

#include <string>
#include <string_view>

namespace tintgrove {

// Takes away surrounding quotes ('...' or "...") and blanks, turns a
// file:// URI into its path (percent escapes decoded; only the local host)
// and a leading "~/" into `home` + "/". Anything else stays as it is. UTF-8
// in and out, as the terminal gives it.
std::string pastedPath(std::string_view answer, std::string_view home);

}  // namespace tintgrove
