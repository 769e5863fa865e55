#include "run/output_names.h"

namespace tintgrove {

OutputNames outputNames(TextView chosenPath, TextView separators) {
  OutputNames names;
  const auto separator = chosenPath.find_last_of(separators);
  const std::size_t fileStart = separator == TextView::npos ? 0 : separator + 1;
  names.folderPart = Text(chosenPath.substr(0, fileStart));
  names.filePart = Text(chosenPath.substr(fileStart));
  const auto fileLength = static_cast<std::int64_t>(names.filePart.size());
  names.baseName = Text(Slice(names.filePart, 1, fileLength - 5));
  names.includePath = names.folderPart + names.baseName + u".inc";
  return names;
}

}  // namespace tintgrove
