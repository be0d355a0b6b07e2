// mkstrtab: turns string-table text files into the program's "STR0" string
// resources, as a C++ source that embeds them.
//
//   mkstrtab OUTPUT.cpp FUNCTION TABLE.txt...
//
// Each TABLE.txt becomes one resource named after the file (without folder and
// extension). OUTPUT.cpp defines `void FUNCTION()`, which registers all of
// them with plat::RegisterResources.
//
// Table text: one entry per line, the id in decimal, one or more blanks, and
// the text in double quotes. Inside the quotes \" and \\ stand for themselves
// and \uXXXX for one UTF-16 unit; all other characters must be printable
// ASCII. Blank lines and lines starting with '#' are skipped.
//
// Resource layout, little-endian: "STR0", u32 count, count entries of
// (u32 id, u32 byte offset of the text, u32 length in UTF-16 units) sorted by
// id, then the texts as UTF-16LE without terminators.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::uint32_t id;
  std::u16string text;
};

struct Table {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the quoted text that starts at line[pos] (the opening quote).
std::u16string ParseQuoted(const std::string& line, size_t pos) {
  if (pos >= line.size() || line[pos] != '"') throw InputError("text must start with a double quote");
  std::u16string text;
  size_t i = pos + 1;
  for (;;) {
    if (i >= line.size()) throw InputError("text has no closing double quote");
    char c = line[i++];
    if (c == '"') break;
    if (c < 0x20 || c > 0x7E) throw InputError("text holds a character outside printable ASCII; use \\uXXXX");
    if (c != '\\') {
      text += static_cast<char16_t>(c);
      continue;
    }
    if (i >= line.size()) throw InputError("text ends inside an escape");
    char e = line[i++];
    if (e == '"' || e == '\\') {
      text += static_cast<char16_t>(e);
    } else if (e == 'u') {
      unsigned unit = 0;
      for (int k = 0; k < 4; ++k) {
        int d = i < line.size() ? HexDigit(line[i]) : -1;
        if (d < 0) throw InputError("\\u needs four hexadecimal digits");
        unit = unit * 16 + static_cast<unsigned>(d);
        ++i;
      }
      text += static_cast<char16_t>(unit);
    } else {
      throw InputError(std::string("unknown escape \\") + e);
    }
  }
  if (line.find_first_not_of(" \t", i) != std::string::npos) throw InputError("characters after the closing quote");
  return text;
}

Entry ParseEntry(const std::string& line) {
  size_t i = 0;
  std::uint64_t id = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
    id = id * 10 + static_cast<unsigned>(line[i] - '0');
    if (id > UINT32_MAX) throw InputError("id does not fit 32 bits");
    ++i;
  }
  if (i == 0) throw InputError("line must start with a decimal id");
  size_t textStart = line.find_first_not_of(" \t", i);
  if (textStart == i) throw InputError("blank expected after the id");
  return {static_cast<std::uint32_t>(id), ParseQuoted(line, textStart)};
}

std::vector<Entry> ReadEntries(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot open");
  std::vector<Entry> entries;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
    try {
      entries.push_back(ParseEntry(line));
    } catch (const InputError& e) {
      throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
  auto twin =
      std::adjacent_find(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.id == b.id; });
  if (twin != entries.end()) throw std::runtime_error(path + ": id " + std::to_string(twin->id) + " appears twice");
  return entries;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint64_t value) {
  if (value > UINT32_MAX) throw std::runtime_error("string table larger than 4 GiB");
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

std::vector<std::uint8_t> BuildTable(const std::vector<Entry>& entries) {
  std::vector<std::uint8_t> out{'S', 'T', 'R', '0'};
  PutU32(out, entries.size());
  std::uint64_t offset = 8 + 12 * static_cast<std::uint64_t>(entries.size());
  for (const Entry& e : entries) {
    PutU32(out, e.id);
    PutU32(out, offset);
    PutU32(out, e.text.size());
    offset += 2 * static_cast<std::uint64_t>(e.text.size());
  }
  for (const Entry& e : entries) {
    for (char16_t unit : e.text) {
      out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
  }
  return out;
}

std::string Source(const std::vector<Table>& tables, const std::string& function) {
  std::ostringstream s;
  s << "// Generated by mkstrtab from the string tables in resources/; do not edit.\n"
    << "#include <cstdint>\n\n#include \"platform/Resources.h\"\n\nnamespace {\n\n";
  for (size_t t = 0; t < tables.size(); ++t) {
    s << "const std::uint8_t kTable" << t << "[] = {";
    const auto& bytes = tables[t].bytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
      s << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ',';
    }
    s << "\n};\n\n";
  }
  s << "const plat::EmbeddedResource kResources[] = {\n";
  for (size_t t = 0; t < tables.size(); ++t) {
    s << "    {\"" << tables[t].name << "\", kTable" << t << "},\n";
  }
  s << "};\n\n}  // namespace\n\nvoid " << function << "() { plat::RegisterResources(kResources); }\n";
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error(path + ": cannot write");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: mkstrtab OUTPUT.cpp FUNCTION TABLE.txt...\n";
    return 2;
  }
  try {
    std::vector<Table> tables;
    for (int i = 3; i < argc; ++i) {
      tables.push_back({std::filesystem::path(argv[i]).stem().string(), BuildTable(ReadEntries(argv[i]))});
    }
    WriteFile(argv[1], Source(tables, argv[2]));
  } catch (const std::exception& e) {
    std::cerr << "mkstrtab: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
