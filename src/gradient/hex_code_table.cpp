#include "gradient/hex_code_table.h"

namespace tintgrove {

namespace {

TextView trimSpaces(TextView text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

}  // namespace

bool HexCodeTable::load(TextView path) {
  file_ = LineFile::openForReading(path);
  Text line;
  while (!file_.atEnd()) {
    file_.readLine(line);
    const TextView entry = trimSpaces(line);
    codeEntries_.append(entry);
    if (codeEntries_.size() <= kLookupLines) index(codeEntries_.size(), entry);
  }
  return file_.isOpen();
}

// Lines are indexed in increasing order, so a later line overwrites an
// earlier one: the highest line wins, as a full scan would have it.
void HexCodeTable::index(std::int64_t line, TextView entry) {
  const auto number = static_cast<std::int16_t>(line);
  if (entry.empty()) {
    empty_ = number;
  } else if (entry.size() == 1 && entry[0] < 128) {
    single_[entry[0]] = number;
  } else if (entry.size() == 2 && entry[0] < 128 && entry[1] < 128) {
    pair_[entry[0] * 128 + entry[1]] = number;
  } else {
    other_.insert_or_assign(Text(entry), number);
  }
}

std::int64_t HexCodeTable::lineOfOther(TextView code) const {
  const auto found = other_.find(code);
  return found == other_.end() ? 0 : found->second;
}

Text HexCodeTable::lookup(TextView code) const {
  const std::int64_t line = lineOf(code);
  if (line >= 1) return integerText(line);
  Text notFound(code);
  notFound += u" ? ";
  return notFound;
}

}  // namespace tintgrove
