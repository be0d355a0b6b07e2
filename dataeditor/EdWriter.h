#pragma once
// The data editor's matrix-file writer. A file is written only when every
// matrix can be read back as it stands: each cell must be one word, and the
// header must match the body. The old file is replaced only after the new one
// was written and closed without error.

#include <string>
#include <vector>

#include "dataeditor/MatrixStr.h"

// The lines of a matrix file holding the matrices in order (without line ends).
// Raises E_Morvapc naming the matrix, row and column of the first cell that
// would be misread: an empty value or tree column label, or a text holding a
// blank, a comma or a control character; and a header that does not fit its type.
std::vector<std::string> EditorFileLines(const std::vector<const TMatrixStr*>& matrices);

// Writes the lines (CR LF) as the file `fileName`, replaced whole
// (rtl::TextWriter). On any failure the old file is left as it was and
// rtl::EInOutError is raised.
void ReplaceFileWithLines(const std::string& fileName, const std::vector<std::string>& lines);
