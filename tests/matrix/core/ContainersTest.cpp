#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "matrix/util/UtLArray.h"
#include "tests/matrix/core/ErrorText.h"

namespace {

TEST(UtMessages, EveryNumberHasItsText) {
  struct Case {
    std::uint32_t id;
    const char* text;
  };
  const Case cases[] = {
      {51, "Compare property must be set"},
      {53, "Bad size parameter"},
      {55, "Index is out of range"},
      {63, "Unable to assign this compare function now"},
      {64, "Cannot assign a matrix with more than 1 column to an array"},
      {71, "Too many merge files in TUtSorter"},
      {72, "Error creating file"},
      {73, "Error opening file"},
      {74, "Error writing file (bytes written <> bytes requested)"},
      {75, "Error reading file (bytes read <> bytes requested)"},
      {76, "TUtSorter in wrong state"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(EUtContainerError(c.id).what(), c.text) << c.id;
    EXPECT_STREQ(EUtSortError(c.id).what(), c.text) << c.id;
  }
}

TEST(UtLArray, RefusesSizesThatCannotBeAllocated) {
  const std::string bad = "Bad size parameter";
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"array of 0 elements", [] { TUtLArray(0, 8); }},
      {"array of negative count", [] { TUtLArray(-1, 8); }},
      {"array of 0-byte elements", [] { TUtLArray(4, 0); }},
      {"matrix with 0 rows", [] { TUtLMatrix(0, 3, 8); }},
      {"matrix with 0 columns", [] { TUtLMatrix(3, 0, 8); }},
      {"matrix with negative rows", [] { TUtLMatrix(-2, 3, 8); }},
      {"matrix whose count overflows 32 bits", [] { TUtLMatrix(70000, 70000, 8); }},
  };
  for (const auto& [name, action] : cases) EXPECT_EQ(ErrorText<EUtContainerError>(action), bad) << name;
}

TEST(UtLMatrix, StoresRowsContiguouslyAndChecksEveryIndex) {
  TUtLMatrix m(3, 4, sizeof(std::int32_t));
  const std::int32_t v = 42;
  m.Put(1, 2, &v);
  std::int32_t row[4] = {-1, -1, -1, -1};
  m.GetRow(1, row);
  EXPECT_EQ((std::vector<std::int32_t>(row, row + 4)), (std::vector<std::int32_t>{0, 0, 42, 0}));

  const std::int32_t filled[4] = {1, 2, 3, 4};
  m.PutRow(2, filled);
  std::int32_t got = 0;
  m.Get(2, 3, &got);
  EXPECT_EQ(got, 4);

  const std::pair<int, int> outside[] = {{3, 0}, {0, 4}, {-1, 0}, {0, -1}};
  for (auto [r, c] : outside) {
    EXPECT_EQ(ErrorText<EUtContainerError>([&] { m.Get(r, c, &got); }), "Index is out of range") << r << "," << c;
    EXPECT_EQ(ErrorText<EUtContainerError>([&] { m.Put(r, c, &v); }), "Index is out of range") << r << "," << c;
  }
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { m.GetRow(3, row); }), "Index is out of range");
}

TEST(UtLArray, ChecksIndicesAndClears) {
  TUtLArray a(3, sizeof(double));
  double x = 0;
  a.Get(2, &x);
  EXPECT_EQ(x, 0.0) << "new storage is zero-filled";
  const double y = 2.5;
  a.Put(2, &y);
  a.Get(2, &x);
  EXPECT_EQ(x, 2.5);
  a.Clear();
  a.Get(2, &x);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { a.Get(3, &x); }), "Index is out of range");
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { a.Put(-1, &y); }), "Index is out of range");
}

TEST(UtContainer, SetDimensionsReallocatesClearedAndKeepsArraysOneColumn) {
  TUtLArray a(2, sizeof(std::int32_t));
  const std::int32_t v = 7;
  a.Put(1, &v);
  a.SetDimensions(5, 1);
  std::int32_t rows = 0, cols = 0;
  std::uint32_t size = 0;
  a.GetDimensions(rows, cols, size);
  EXPECT_EQ(rows, 5);
  EXPECT_EQ(cols, 1);
  EXPECT_EQ(size, sizeof(std::int32_t));
  std::int32_t got = -1;
  a.Get(1, &got);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { a.SetDimensions(5, 2); }),
            "Cannot assign a matrix with more than 1 column to an array");

  TUtLMatrix m(2, 2, sizeof(std::int32_t));
  m.SetDimensions(3, 5);
  m.GetDimensions(rows, cols, size);
  EXPECT_EQ(rows * 10 + cols, 35);
  EXPECT_EQ(m.Count(), 15);
}

TEST(UtContainer, AssignCopiesContentsAndRefusesWideMatrixIntoArray) {
  TUtLMatrix column(3, 1, sizeof(std::int32_t));
  for (std::int32_t r = 0; r < 3; ++r) {
    const std::int32_t v = 10 + r;
    column.Put(r, 0, &v);
  }
  TUtLArray a(1, sizeof(std::int32_t));
  a.Assign(column);
  std::vector<std::int32_t> seen;
  a.Iterate([&](const TUtContainer&, const std::byte* element) {
    std::int32_t v = 0;
    std::memcpy(&v, element, sizeof v);
    seen.push_back(v);
    return v < 11;  // stops after the element that answers false
  });
  EXPECT_EQ(seen, (std::vector<std::int32_t>{10, 11}));

  const TUtLMatrix wide(2, 2, sizeof(std::int32_t));
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { a.Assign(wide); }),
            "Cannot assign a matrix with more than 1 column to an array");
  const TUtLArray doubles(3, sizeof(double));
  EXPECT_EQ(ErrorText<EUtContainerError>([&] { a.Assign(doubles); }), "Bad size parameter")
      << "elements of another size";
  EXPECT_EQ(a.Count(), 3) << "a refused assignment leaves the array as it was";
}

}  // namespace
