// Helpers shared by the unit tests: a scratch folder and whole-file access.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gradient/hex_code_table.h"
#include "run/dialogs.h"
#include "textfile/text.h"

namespace tintgrove::test {

// A fresh folder, removed with everything in it at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path file(std::string_view name) const { return path_ / name; }
  // The path of `name` inside the folder, as the program's text.
  Text text(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& file, std::string_view bytes);
std::string readBytes(const std::filesystem::path& file);
// The names in a folder, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);
Text pathText(const std::filesystem::path& path);
// UTF-8 of a text, for readable failure messages.
std::string shown(TextView text);

// hex-bin.txt as shipped: line k holds k - 1 in two upper-case hex digits.
std::string standardTable();
// The code table read from those bytes.
HexCodeTable tableOf(const std::string& bytes);

// Answers the file request with a fixed path and keeps every notice.
class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(Text answer) : answer_(std::move(answer)) {}
  Text askForFile(const FileRequest& request) override {
    requests.push_back(request);
    return answer_;
  }
  bool showNotice(TextView title, TextView text, bool warning) override {
    titles.emplace_back(title);
    notices.emplace_back(text);
    warnings.push_back(warning);
    return noticeReachesUser;
  }
  std::vector<FileRequest> requests;
  std::vector<Text> titles, notices;
  std::vector<bool> warnings;
  bool noticeReachesUser = true;

 private:
  Text answer_;
};

}  // namespace tintgrove::test
