#include "run/pasted_path.h"

namespace tintgrove {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like become their bytes; a "%" without two hex digits stays.
std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

std::string pastedPath(std::string_view answer, std::string_view home) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!answer.empty() && blank(answer.front())) answer.remove_prefix(1);
  while (!answer.empty() && blank(answer.back())) answer.remove_suffix(1);
  if (answer.size() >= 2 && (answer.front() == '"' || answer.front() == '\'') &&
      answer.back() == answer.front()) {
    answer = answer.substr(1, answer.size() - 2);
  }
  constexpr std::string_view kScheme = "file://";
  if (answer.substr(0, kScheme.size()) == kScheme) {
    std::string_view rest = answer.substr(kScheme.size());
    constexpr std::string_view kLocalHost = "localhost";
    if (rest.substr(0, kLocalHost.size()) == kLocalHost) rest.remove_prefix(kLocalHost.size());
    // Another host's file is not ours to open: the URI stays as typed.
    if (!rest.empty() && rest.front() == '/') return percentDecoded(rest);
    return std::string(answer);
  }
  if (answer.substr(0, 2) == "~/" && !home.empty()) {
    std::string path(home);
    if (path.back() != '/') path.push_back('/');
    path.append(answer.substr(2));
    return path;
  }
  return std::string(answer);
}

}  // namespace tintgrove
