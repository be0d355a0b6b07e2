// The font system over the toolkit's font database.

#include "platform/Fonts.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtServices.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>

namespace plat {

namespace {

// Fixed-pitch faces that programs ask for by name and that the platform may
// serve from another family.
constexpr const char* kCommonFixedNames[] = {"Courier New", "Courier"};

class QtFontSystem : public FontSystem {
 public:
  std::vector<std::string> FixedPitchFamilies() override {
    std::vector<std::string> names;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
      if (QFontDatabase::isFixedPitch(family)) names.push_back(qtbridge::FromQt(family));
    }
    for (const char* name : kCommonFixedNames) {
      if (std::find(names.begin(), names.end(), name) != names.end()) continue;
      QFont font(QString::fromLatin1(name));
      font.setStyleHint(QFont::TypeWriter);
      const QFontInfo served(font);
      if (served.fixedPitch() && QFontDatabase::isFixedPitch(served.family())) names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  bool IsOutlineFont(const Font& font) override {
    qtbridge::EnsureApplication();
    const QFontInfo shown(qtbridge::ToQFont(font));
    return QFontDatabase::isSmoothlyScalable(shown.family(), shown.styleName());
  }
};

}  // namespace

namespace qtbridge {

std::unique_ptr<FontSystem> MakeFontSystem() { return std::make_unique<QtFontSystem>(); }

}  // namespace qtbridge

}  // namespace plat
