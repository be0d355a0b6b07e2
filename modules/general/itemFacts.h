#pragma once
// The facts table of a choice whose items each select one value of an
// enumeration: the item's text and what it selects, in the order of the items
// (see ChoiceItems and ChosenFacts in shell/ModuleRun.h).

#include <string_view>

template <class Item>
struct TItemFacts {
  std::string_view name;
  Item item;
};
