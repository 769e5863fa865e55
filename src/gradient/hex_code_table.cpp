#include "gradient/hex_code_table.h"

namespace tintgrove {

namespace {

TextView trimSpaces(TextView text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// ASCII letters in lower case, every other character as it is.
Text foldedCase(TextView text) {
  Text folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

}  // namespace

FileProblem HexCodeTable::load(TextView path) {
  file_ = LineFile::openForReading(path);
  Text line;
  while (!file_.atEnd()) {
    file_.readLine(line);
    const TextView entry = trimSpaces(line);
    codeEntries_.append(entry);
    if (codeEntries_.size() <= kLookupLines) {
      const auto number = static_cast<std::int16_t>(codeEntries_.size());
      exact_.add(number, entry);
      folded_.add(number, foldedCase(entry));
    }
  }
  return file_.problem();
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

std::int64_t HexCodeTable::Index::find(TextView code) const {
  if (code.empty()) return empty;
  if (code.size() == 1 && code[0] < 128) return single[code[0]];
  if (code.size() == 2 && code[0] < 128 && code[1] < 128) {
    return pair[code[0] * 128 + code[1]];
  }
  const auto found = other.find(code);
  return found == other.end() ? 0 : found->second;
}

std::int64_t HexCodeTable::lineOfFolded(TextView code) const {
  if (code.size() <= 2) {
    char16_t folded[2] = {};
    for (std::size_t i = 0; i < code.size(); ++i) {
      const char16_t c = code[i];
      folded[i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    return folded_.find(TextView(folded, code.size()));
  }
  return folded_.find(foldedCase(code));
}

Text HexCodeTable::lookup(TextView code) const {
  const std::int64_t line = lineOf(code);
  if (line >= 1) return integerText(line);
  Text notFound(code);
  notFound += u" ? ";
  return notFound;
}

}  // namespace tintgrove
