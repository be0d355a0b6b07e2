#pragma once
// The layer table of docs/ARCHITECTURE.md and the check of one #include
// against it.

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace layers {

// One row: a folder ("plot/forms/"), the folders its files may include, or any.
struct Layer {
  std::string folder;
  std::vector<std::string> allowed;
  bool any = false;
};

// The texts between backquotes in a table cell.
inline std::vector<std::string> Quoted(const std::string& cell) {
  std::vector<std::string> texts;
  for (std::size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open)) {
    const std::size_t close = cell.find('`', open + 1);
    if (close == std::string::npos) break;
    texts.push_back(cell.substr(open + 1, close - open - 1));
    open = close + 1;
  }
  return texts;
}

// The rows of the markdown table whose first cell is a folder in backquotes.
inline std::vector<Layer> ParseLayerTable(const std::string& markdown) {
  std::vector<Layer> table;
  std::istringstream lines(markdown);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("| `", 0) != 0) continue;
    std::vector<std::string> cells;
    std::istringstream row(line.substr(1));
    for (std::string cell; std::getline(row, cell, '|');) cells.push_back(cell);
    if (cells.size() < 2) continue;
    const std::vector<std::string> folder = Quoted(cells[0]);
    if (folder.empty()) continue;
    Layer layer{folder.front(), {}, false};
    for (const std::string& name : Quoted(cells[1])) {
      if (name == "*") {
        layer.any = true;
      } else {
        layer.allowed.push_back(name);
      }
    }
    table.push_back(layer);
  }
  return table;
}

// The header an #include line names and whether it is quoted; nothing for
// any other line.
struct TInclude {
  std::string header;
  bool quoted = false;
};
inline std::optional<TInclude> IncludeOf(const std::string& line) {
  std::size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line[at] != '#') return std::nullopt;
  at = line.find_first_not_of(" \t", at + 1);
  if (at == std::string::npos || line.compare(at, 7, "include") != 0) return std::nullopt;
  at = line.find_first_not_of(" \t", at + 7);
  if (at == std::string::npos || (line[at] != '"' && line[at] != '<')) return std::nullopt;
  const char close = line[at] == '"' ? '"' : '>';
  const std::size_t end = line.find(close, at + 1);
  if (end == std::string::npos) return std::nullopt;
  return TInclude{line.substr(at + 1, end - at - 1), close == '"'};
}

// The row of a folder ("modules/ordination/"): the longest row folder it starts with.
inline const Layer* LayerOf(const std::vector<Layer>& table, const std::string& folder) {
  const Layer* best = nullptr;
  for (const Layer& layer : table) {
    if (folder.rfind(layer.folder, 0) == 0 && (best == nullptr || layer.folder.size() > best->folder.size())) {
      best = &layer;
    }
  }
  return best;
}

// The folder part of a path, with its trailing slash ("" for a bare name).
inline std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// True for a Qt header: <QWidget>, <QtCore/QString>.
inline bool IsQtHeader(const std::string& header) { return header.size() > 1 && header[0] == 'Q'; }

// What is wrong with one include of a file (a path from the top of the tree),
// or nothing. quoted: "..." rather than <...>.
inline std::optional<std::string> CheckInclude(const std::vector<Layer>& table, const std::string& file,
                                               const std::string& header, bool quoted) {
  const Layer* from = LayerOf(table, FolderOf(file));
  if (from == nullptr) return "its folder has no row in the layer table";
  if (!quoted) {
    const bool qtAllowed = from->folder == "platform/qt/" || from->folder == "tests/";
    if (IsQtHeader(header) && !qtAllowed) return "Qt is included only in platform/qt/ and the tests";
    return std::nullopt;
  }
  const std::string folder = FolderOf(header);
  if (folder.empty() || from->any) return std::nullopt;  // a header beside the file
  const Layer* to = LayerOf(table, folder);
  if (to == nullptr) return "the included folder has no row in the layer table";
  if (to == from || std::find(from->allowed.begin(), from->allowed.end(), to->folder) != from->allowed.end()) {
    return std::nullopt;
  }
  return from->folder + " may not include " + to->folder;
}

}  // namespace layers
