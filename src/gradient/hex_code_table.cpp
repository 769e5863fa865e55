#include "gradient/hex_code_table.h"

#include <new>

namespace tintgrove {

namespace {

// One line of the table, fed in parts: its entry is the line without the
// spaces (code 32 only) at both ends, and is kept only while it is short
// enough to match a code.
class EntryScan {
 public:
  void add(TextView part) {
    for (const char16_t c : part) {
      if (started_ || c != u' ') {
        started_ = true;
        kept_.append(TextView(&c, 1));
        ++length_;
        if (c != u' ') end_ = length_;
      }
    }
  }
  // The entry, or false when it is too long to match any code.
  bool entry(TextPrefix<2>& out) const {
    if (end_ > 2) return false;
    out = TextPrefix<2>(kept_.view().substr(0, end_));
    return true;
  }

 private:
  bool started_ = false;
  std::size_t length_ = 0;  // characters from the first that is not a space
  std::size_t end_ = 0;     // up to and including the last that is not one
  TextPrefix<3> kept_;
};

}  // namespace

HexCodeTable::Load HexCodeTable::load(LineFile& file) {
  Load load;
  load.problem = file.problem();
  Text part;
  for (std::int16_t line = 1; line <= kLookupLines && !file.atEnd(); ++line) {
    EntryScan scan;
    bool last = false;
    while (!last) {
      last = file.readLinePart(part);
      scan.add(part);
    }
    TextPrefix<2> entry;
    if (!scan.entry(entry)) continue;
    try {
      load.table.exact_.add(line, entry.view());
      load.table.folded_.add(line, lowerCase(entry.view()).view());
    } catch (const std::bad_alloc&) {
      load.problem = FileProblem::notEnoughMemory;
      break;
    }
  }
  return load;
}

std::int64_t HexCodeTable::lineOfAnyCode(TextView code) const {
  if (code.size() > 2) return 0;  // no entry that long is kept
  const std::int64_t exact = exact_.find(code);
  return exact != 0 ? exact : folded_.find(lowerCase(code).view());
}

TextPrefix<2> HexCodeTable::lowerCase(TextView code) {
  TextPrefix<2> folded;
  for (char16_t c : code.substr(0, 2)) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    folded.append(TextView(&c, 1));
  }
  return folded;
}

void HexCodeTable::Index::add(std::int16_t line, TextView entry) {
  if (entry.empty()) {
    empty = line;
  } else if (entry.size() == 1 && entry[0] < 128) {
    single[entry[0]] = line;
  } else if (entry.size() == 2 && entry[0] < 128 && entry[1] < 128) {
    pair[entry[0] * 128 + entry[1]] = line;
  } else {
    other.insert_or_assign(Text(entry), line);
  }
}

std::int16_t HexCodeTable::Index::find(TextView code) const {
  if (code.empty()) return empty;
  if (code.size() == 1 && code[0] < 128) return single[code[0]];
  if (code.size() == 2 && code[0] < 128 && code[1] < 128) {
    return pair[code[0] * 128 + code[1]];
  }
  const auto found = other.find(code);
  return found == other.end() ? 0 : found->second;
}

}  // namespace tintgrove
