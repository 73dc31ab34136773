#include <gtest/gtest.h>

#include <string>

#include "framework/Array.h"

TEST(ArrayTests, AddInsertAndRemoveKeepOrder)
{
    CArray<int> numbers;
    EXPECT_EQ(numbers.Add(10), 0);
    EXPECT_EQ(numbers.Add(30), 1);
    numbers.InsertAt(1, 20);
    numbers.Add(40);
    numbers.RemoveAt(2, 2);
    ASSERT_EQ(numbers.GetSize(), 2);
    EXPECT_EQ(numbers[0], 10);
    EXPECT_EQ(numbers[1], 20);
    numbers.RemoveAll();
    EXPECT_TRUE(numbers.IsEmpty());
}

TEST(ArrayTests, StringArrayCopiesAreIndependent)
{
    CStringArray names;
    names.Add(L"Acme");
    CStringArray copy = names;
    copy.SetAt(0, L"Other");
    EXPECT_EQ(names[0], L"Acme");
    EXPECT_EQ(copy[0], L"Other");
}

TEST(ArrayTests, MapLooksUpSetsAndRemoves)
{
    CMap<const void*, int> commands;
    int a = 0, b = 0;
    commands.SetAt(&a, 1);
    commands.SetAt(&b, 2);
    commands.SetAt(&a, 3);
    int value = 0;
    ASSERT_TRUE(commands.Lookup(&a, value));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(commands.GetCount(), 2);
    EXPECT_TRUE(commands.RemoveKey(&b));
    EXPECT_FALSE(commands.Lookup(&b, value));
    EXPECT_EQ(value, 3);
}
