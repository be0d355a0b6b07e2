#pragma once
// Matrix files: comment lines, the header line with its type checks, and the
// opening of input and output files under the default directory and the
// "OverWrite" rule. The bodies that follow a header are read and written by
// the routines of MatrixIO.h.
//
// A matrix file holds matrices one after another; each is comment lines (first
// character '"', '\'', ';' or '`'), one header line and the body. Lines end
// with CR LF when written; readers accept CR LF, LF and CR.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/StringList.h"
#include "rtl/TextFile.h"

// Matrix type codes carried by the header line.
enum TMatrixType : int {
  mtRectangular = 1,
  mtDissimilarity = 2,
  mtSimilarity = 3,
  mtDiagonal = 4,
  mtTreeDissimilarity = 5,
  mtTreeSimilarity = 6,
  mtGraphDissimilarity = 7,
  mtGraphSimilarity = 8,
};

// Label positions of the header line: none, a block before the values, the
// first word of each row ("B"), the word after each row's last value ("E").
enum TLabelCode : int { lcNone = 0, lcBlock = 1, lcBegin = 2, lcEnd = 3 };

// The set of type codes (0 .. 15) that a reader accepts.
class TMatrixTypeSet {
 public:
  constexpr TMatrixTypeSet() = default;
  constexpr TMatrixTypeSet(std::initializer_list<int> codes) {
    for (int code : codes) {
      if (code >= 0 && code <= 15) bits_ = static_cast<std::uint16_t>(bits_ | (1u << code));
    }
  }
  constexpr bool Contains(int code) const { return code >= 0 && code <= 15 && ((bits_ >> code) & 1u) != 0; }

 private:
  std::uint16_t bits_ = 0;
};

// "rectangular", "dissimilarity", ... for codes 1 .. 8; empty for any other.
std::string_view MatrixTypeName(int type);

// The codes 1 .. 8 of the set in increasing order, separated by ", " ("2, 3").
std::string ListAllowedTypes(TMatrixTypeSet allowed);

// What a header line says.
struct TMatrixHeader {
  int type = 0;
  int rows = 0;  // the number of OTUs for trees and graphs
  int cols = 0;  // the number of edges for graphs
  int missingCode = 0;
  double missingValue = 0;  // 99999.999 when the code is 0
  int rowLabelCode = lcNone;
  int colLabelCode = lcNone;
};

// Reads the comment lines and the header line of the next matrix, checks the
// type against the allowed set and the shape against the type, and leaves f at
// the start of the next line. comments is reset, and becomes a new list at the
// first comment line (the caller owns it). With list set, the comments and a
// summary line go to the listing. Raises E_Morvapc with the text a user reads.
bool ReadMatrixHeader(rtl::TextReader& f, std::unique_ptr<rtl::StringList>& comments, TMatrixHeader& header, bool list,
                      TMatrixTypeSet allowed);

// The same, but false where ReadMatrixHeader raises for a file that ends
// before a header line: the comment lines and blanks after the last matrix
// end the data (the comments are kept, not listed).
bool ReadMatrixHeaderOrEnd(rtl::TextReader& f, std::unique_ptr<rtl::StringList>& comments, TMatrixHeader& header,
                           bool list, TMatrixTypeSet allowed);

// Refuses a matrix with nothing to compute on, for the modules that need
// values: no rows, or no columns (a graph may have no edges, but not no
// points). Raises E_Morvapc "Input matrix is empty: <rows> rows by <cols>
// columns".
void RefuseEmptyMatrix(const TMatrixHeader& header);

// Each line of comments as a comment line; nothing for a null list.
void WriteMatrixComments(rtl::TextWriter& f, const rtl::StringList* comments);

// The header line "type rows<letter> cols<letter> missingCode [missingValue]",
// the letter being ' ', 'L', 'B' or 'E' for label codes 0 .. 3. The missing
// value is written as a decimal integer, the only form the header reader takes,
// whatever the number format (the parameter is kept for the callers that pass
// the file format). A missing value that is not an integer raises
// E_Morvapc_Internal: the file could not be read back.
void WriteMatrixHeader(rtl::TextWriter& f, int type, int rows, int cols, int missingCode, double missingValue,
                       std::string_view format, int rowLabelCode, int colLabelCode);

// The text every writer raises (as E_Morvapc) when a write or the close fails.
inline constexpr std::string_view kMatrixWriteError = "I/O error saving matrix - disk full?";

// Runs a writer; a failed write becomes E_Morvapc kMatrixWriteError with the
// system's reason ("I/O error saving matrix - disk full? (No space left on device)").
void GuardMatrixWrite(const std::function<void()>& write);

// Refuses a result that is not finite: raises E_Morvapc "<what> overflowed
// (INF) and cannot be written.", what naming the result ("X2", "Row 2,
// column 3 of the matrix for output file: o.qmx"). No reader takes such a
// number back, so no module writes one, to a file or to the listing.
[[noreturn]] void RefuseOverflow(std::string_view what, double value);

// The text followed by the system's reason for a failed file operation in
// parentheses, or the text alone when the system gave none.
std::string WithSystemReason(std::string text, const std::string& reason);

// --- Opening files -------------------------------------------------------

// What opening files needs of the configuration and of the overwrite/append
// prompt. The shell installs them at start-up; tests install doubles. Unset,
// the default directory is empty, "OverWrite" is "?" and the prompt cancels.
struct TMatrixFileHooks {
  std::function<std::string()> defaultDir;                          // "DefaultDir"
  std::function<void(const std::string& directory)> setDefaultDir;  // stores it back
  std::function<char()> overWrite;                                  // "OverWrite"
  // Shows the prompt for an existing file; returns its modal result
  // (1 overwrite, 6 append, 2 cancel).
  std::function<int(const std::string& fullName)> overwritePrompt;
  // Told of an existing output file that the setting or the prompt refused,
  // before the opener returns false; it may raise instead.
  std::function<void(const std::string& fullName)> outputRefused;
};

// Replaces the installed hooks and returns the previous ones.
TMatrixFileHooks InstallMatrixFileHooks(TMatrixFileHooks hooks);

// An input file opened by OpenInputMatrixFile. While it is open, no output
// file may be opened over it; the deleter closes it and lifts that guard.
struct TInputFileCloser {
  void operator()(rtl::TextReader* f) const;
};
using TInputMatrixFile = std::unique_ptr<rtl::TextReader, TInputFileCloser>;
using TOutputMatrixFile = std::unique_ptr<rtl::TextWriter>;

// Shows the overwrite/append prompt for an existing file: 'O' overwrite,
// 'A' append, 'F' refuse (cancel, or no prompt installed).
char AskOverwriteAppend(const std::string& fullName);

// The name as the openers take it: in the default directory when it has no
// directory part (the setting is not stored back).
std::string MatrixFileFullName(const std::string& name);

// True when two names lead to one file: the same device and inode where both
// exist (another path, a link), the same path once normalised otherwise.
bool SameMatrixFile(const std::string& first, const std::string& second);

// The refusal of an output file that is an input file of the same run:
// "Output file for <role> is a file open for input: <full name>" and
// "Choose another output file name." on a line of its own.
std::string OutputOverInputMessage(std::string_view role, const std::string& fullName);

// Opens a file for reading. A name without a directory is looked up in the
// default directory, which is first normalised and stored back. role names
// the file's part in the module ("input file", "row order") in the messages.
bool OpenInputMatrixFile(TInputMatrixFile& f, const std::string& name, std::string_view role);

// Opens a file for writing under the "OverWrite" rule. Returns false, with
// nothing opened, when the user or the setting refuses to touch an existing
// file (after the hook outputRefused, which may raise instead). Refuses
// (E_Morvapc) a name that is a file open for input.
bool OpenOutputMatrixFile(TOutputMatrixFile& f, const std::string& name, std::string_view role);

// The "OverWrite" rule for an output file that is written whole or not at
// all and never appended to (a picture), named in full: true when it may be
// written, because nothing takes its name (a link does, wherever it leads) or
// the setting or the user says overwrite. Otherwise false, after the hook
// outputRefused, which may raise instead; appending counts as refusing.
bool MayWriteWholeOutputFile(const std::string& fullName);

// Closes an output file; a failure to write its last bytes raises E_Morvapc
// kMatrixWriteError, so a partly written file is never taken for a whole one.
// The file takes its place at once, or with the run's other outputs when a
// TRunOutputs is alive. An output dropped without this call leaves the
// previous file as it was (or none).
void CloseOutputMatrixFile(TOutputMatrixFile& f);

// The output files of one module run, put in place together when the run ends
// well. While one is alive, CloseOutputMatrixFile leaves each closed output
// beside its file; Commit renames them all over their files (E_Morvapc
// kMatrixWriteError when one cannot be). Dropped without Commit (the run
// raised, or was cancelled), it removes them: every previous file stays as it
// was, and no partial output is left to stand in a re-run's way.
class TRunOutputs {
 public:
  TRunOutputs();
  ~TRunOutputs();
  TRunOutputs(const TRunOutputs&) = delete;
  TRunOutputs& operator=(const TRunOutputs&) = delete;

  // An output opened by OpenOutputMatrixFile: its name as the run gave it,
  // and its full name.
  void Opened(std::string name, std::string fullName);
  void Add(rtl::AtomicFile file);
  void Commit();

  // The outputs the run opened and did not put in place, by their names as
  // the run gave them: after a failure, all of them; after a failed Commit,
  // those it did not reach.
  std::vector<std::string> Unwritten() const;

 private:
  struct TOpened {
    std::string name;
    std::string fullName;
  };
  std::vector<rtl::AtomicFile> pending_;
  std::vector<TOpened> opened_;
  std::vector<std::string> written_;  // the full names of those put in place
  TRunOutputs* previous_;
};
