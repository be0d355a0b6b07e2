#include "controls/editor/EditError.h"

#include "controls/base/StrRes.h"
#include "controls/base/VirExcept.h"
#include "controls/editor/ParaList.h"

namespace {

std::uint16_t CatalogueIdOf(std::uint16_t code) {
  switch (code) {
    case eeOutOfMemory: return 34197;
    case eeRegionTooLarge: return 34186;
    case eeTooManyParagraphs: return 34198;
    case eeCannotJoin: return 34199;
    case eeTextTooLarge: return 34200;
    case eeParagraphTooLong: return 34201;
    default: return 34168;
  }
}

}  // namespace

std::string EditErrorMessage(std::uint16_t code) { return GetLibraryString(CatalogueIdOf(code)); }

void RaiseEditError(std::uint16_t code) { throw EEditorError(EditErrorMessage(code), code); }
