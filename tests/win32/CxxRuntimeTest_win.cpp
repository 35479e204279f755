// The program's own error-raising functions of the C++ library (CxxRuntime_win):
// what the library's strings and containers raise reaches a catch of
// std::exception with the operation's name, and memory errors keep their types.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

template <typename Operation>
std::string WhatItRaises(Operation operation) {
  try {
    operation();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "nothing";
}

TEST(CxxRuntime, StringAndContainerErrorsAreExceptionsNamingTheOperation) {
  const std::string text = "abc";
  EXPECT_EQ(WhatItRaises([&] { (void)text.at(3); }), "basic_string::at");
  EXPECT_EQ(WhatItRaises([&] { (void)text.substr(4); }), "basic_string::substr");
  std::vector<int> numbers(2);
  EXPECT_EQ(WhatItRaises([&] { (void)numbers.at(2); }), "vector::_M_range_check");
  EXPECT_EQ(WhatItRaises([&] { numbers.reserve(numbers.max_size() + 1); }), "vector::reserve");
  std::string grown;
  EXPECT_EQ(WhatItRaises([&] { grown.reserve(grown.max_size() + 1); }), "basic_string::_M_create");
  // Nothing raised where nothing is wrong.
  EXPECT_EQ(WhatItRaises([&] { (void)text.at(2); }), "nothing");
}

TEST(CxxRuntime, AllocationsBeyondWhatCanExistAreMemoryErrors) {
  std::allocator<std::uint64_t> allocator;
  volatile std::size_t tooMany = std::numeric_limits<std::size_t>::max() / 8;
  EXPECT_THROW((void)allocator.allocate(tooMany), std::bad_alloc);
  tooMany = tooMany + 1;  // more bytes than a size can count
  EXPECT_THROW((void)allocator.allocate(tooMany), std::bad_array_new_length);
}

}  // namespace
