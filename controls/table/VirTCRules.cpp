#include "controls/table/VirTCRules.h"

#include <algorithm>
#include <cstring>

#include "controls/table/VirTCStr.h"
#include "platform/Types.h"

int TextTypingLimit(int maxLength, bool zeroTerminated, const TVirCellData& data) {
  int limit = std::max(maxLength, 0);
  if (!zeroTerminated) return std::min(limit, kShortStringMax);
  if (!data.empty()) limit = std::min(limit, static_cast<int>(data.size()) - 1);
  return limit;
}

void StoreCellText(TVirCellData data, std::string_view text, int limit, bool zeroTerminated) {
  if (data.empty()) return;
  const std::size_t room = data.size() - 1;
  std::size_t n = std::min({text.size(), static_cast<std::size_t>(std::max(limit, 0)), room});
  if (zeroTerminated) {
    std::memcpy(data.data(), text.data(), n);
    data[n] = 0;
    return;
  }
  n = std::min(n, static_cast<std::size_t>(kShortStringMax));
  data[0] = static_cast<std::uint8_t>(n);
  std::memcpy(data.data() + 1, text.data(), n);
}

bool LeavesAtTextEnd(int key, int selStart, int selEnd, int textLength) {
  if (key == plat::vk::Left) return selStart == 0 && selEnd == 0;
  if (key == plat::vk::Right) return (selStart == selEnd || selStart == 0) && selEnd == textLength;
  return false;
}

std::int32_t ComboDataIndex(const TVirCellData& data) {
  std::int32_t index = -1;
  if (data.size() >= sizeof index) std::memcpy(&index, data.data() + TVirComboLayout::kIndexOffset, sizeof index);
  return index;
}

void SetComboDataIndex(TVirCellData data, std::int32_t index) {
  if (data.size() >= sizeof index) std::memcpy(data.data() + TVirComboLayout::kIndexOffset, &index, sizeof index);
}

const TVirComboItems* ComboDataItems(const TVirCellData& data, const TVirComboLayout& layout) {
  const TVirComboItems* items = nullptr;
  if (layout.runTimeItems && data.size() >= layout.TextOffset())
    std::memcpy(static_cast<void*>(&items), data.data() + TVirComboLayout::kItemsOffset, sizeof items);
  return items;
}

void SetComboDataItems(TVirCellData data, const TVirComboLayout& layout, const TVirComboItems* items) {
  if (layout.runTimeItems && data.size() >= layout.TextOffset())
    std::memcpy(data.data() + TVirComboLayout::kItemsOffset, static_cast<const void*>(&items), sizeof items);
}

std::string ComboDataText(const TVirCellData& data, const TVirComboLayout& layout) {
  if (data.size() <= layout.TextOffset()) return {};
  return CellDataText(data.subspan(layout.TextOffset()), false);
}

void SetComboDataText(TVirCellData data, const TVirComboLayout& layout, std::string_view text, int limit) {
  if (data.size() <= layout.TextOffset()) return;
  StoreCellText(data.subspan(layout.TextOffset()), text, limit, false);
}

std::string ComboPaintText(std::int32_t index, const TVirComboItems& items, bool hasEditPart,
                           const std::string& dataText) {
  if (index >= 0 && index < static_cast<std::int32_t>(items.size())) return items[static_cast<std::size_t>(index)];
  return hasEditPart ? dataText : std::string{};
}

int ClampGlyphIndex(int index, int activeCount) {
  if (index < 0) return 0;
  return index >= activeCount ? std::max(activeCount - 1, 0) : index;
}

int NextGlyphIndex(int index, int activeCount) { return index >= activeCount - 1 ? 0 : index + 1; }

int PreviousGlyphIndex(int index, int activeCount) { return index <= 0 ? std::max(activeCount - 1, 0) : index - 1; }
