// The desktop's palette as the toolkit's application palette has it.

#include "platform/SystemColors.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QPalette>

namespace plat::qtbridge {

namespace {

class QtSystemPalette : public SystemPalette {
 public:
  Color SysColor(int index) override {
    struct Role {
      QPalette::ColorGroup group;
      QPalette::ColorRole role;
    };
    constexpr auto A = QPalette::Active, I = QPalette::Inactive, D = QPalette::Disabled;
    static const Role kRoles[kSystemColorCount] = {
        {A, QPalette::Button},
        {A, QPalette::Dark},
        {A, QPalette::Highlight},
        {I, QPalette::Highlight},
        {A, QPalette::Window},
        {A, QPalette::Base},
        {A, QPalette::Shadow},
        {A, QPalette::WindowText},
        {A, QPalette::Text},
        {A, QPalette::HighlightedText},
        {A, QPalette::Window},
        {I, QPalette::Window},
        {A, QPalette::Dark},
        {A, QPalette::Highlight},
        {A, QPalette::HighlightedText},
        {A, QPalette::Button},
        {A, QPalette::Mid},
        {D, QPalette::Text},
        {A, QPalette::ButtonText},
        {I, QPalette::HighlightedText},
        {A, QPalette::Light},
        {A, QPalette::Shadow},
        {A, QPalette::Midlight},
        {A, QPalette::ToolTipText},
        {A, QPalette::ToolTipBase},
    };
    if (index < 0 || index >= kSystemColorCount) return clBlack;
    QPalette palette = QApplication::palette();
    return FromQColor(palette.color(kRoles[index].group, kRoles[index].role));
  }
};

}  // namespace

std::unique_ptr<SystemPalette> MakeSystemPalette() { return std::make_unique<QtSystemPalette>(); }

}  // namespace plat::qtbridge
