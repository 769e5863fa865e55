#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

#include "textfile/line_file.h"
#include "textfile/utf8.h"

namespace tintgrove::test {

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp =
      std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    std::ostringstream name;
    name << "tintgrove-test-" << stamp << "-" << counter++;
    path_ = std::filesystem::temp_directory_path() / name.str();
    if (std::filesystem::create_directory(path_)) return;
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

Text ScratchFolder::text(std::string_view name) const {
  return pathText(file(name));
}

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> fileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Text pathText(const std::filesystem::path& path) { return path.u16string(); }

std::string shown(TextView text) { return textToUtf8(text); }

std::string standardTable() {
  static const char digits[] = "0123456789ABCDEF";
  std::string table;
  for (int k = 0; k < 256; ++k) {
    table += digits[k / 16];
    table += digits[k % 16];
    table += "\r\n";
  }
  return table;
}

HexCodeTable tableOf(const std::string& bytes) {
  const ScratchFolder folder;
  writeBytes(folder.file("hex-bin.txt"), bytes);
  LineFile file = LineFile::openForReading(folder.text("hex-bin.txt"));
  return HexCodeTable::load(file).table;
}

}  // namespace tintgrove::test
