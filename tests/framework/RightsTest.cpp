// The pure rules of the root program form: the command set a rights text gives, and the program
// identifier and library test of a module file name.
#include "framework/VozurazCF.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace orvane::test {
namespace {

CommandSet commands(std::initializer_list<std::pair<int, int>> ranges)
{
    CommandSet set;
    for (const auto& [first, last] : ranges) {
        for (int element = first; element <= last; ++element)
            set.set(static_cast<std::size_t>(element));
    }
    return set;
}

TEST(RightsTest, CommandsEachFieldAndPositionGivesItsElement)
{
    const std::pair<const char*, CommandSet> cases[] = {
        // F3: one other letter, five Y, two R, one Y.
        {",Y,Y,XYYYYYRRY", commands({{0, 14}, {30, 31}, {37, 37}, {38, 42}, {34, 35}, {36, 36}})},
        {",Y,Y,XYYYYYYYY", commands({{0, 14}, {30, 31}, {37, 37}, {38, 42}, {32, 33}, {36, 36}})},
        // Lower-case y counts in F1 and F2 only; F2 is compared whole.
        {",y", commands({{0, 14}, {30, 30}, {37, 37}})},
        {",N,YY", commands({{0, 14}, {37, 37}})},
        {",Y,y,yyyyyyyyyyyy,yyyyyyy,yyyyyyy", commands({{0, 14}, {30, 31}, {37, 37}})},
        // Nothing above 37 without F3..F5; an empty text after the first comma is all missing fields.
        {",Y,Y", commands({{0, 14}, {30, 31}, {37, 37}})},
        {"X", commands({{0, 14}, {37, 37}})},
        // F3 positions 10..12, F4 and F5 positions 1..7.
        {",,,NNNNNNNNNYYY", commands({{0, 14}, {37, 37}, {43, 45}})},
        {",,,,YNNNNNY,NNNNNNY", commands({{0, 14}, {37, 37}, {46, 46}, {52, 52}, {59, 59}})},
        // The demonstration users.
        {",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY", commands({{0, 14}, {30, 33}, {36, 59}})},
        {",N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN", commands({{0, 14}, {34, 35}, {37, 39}})},
    };
    for (const auto& [powerData, expected] : cases)
        EXPECT_EQ(TfrmVozuraz::RightsCommands(powerData), expected) << powerData;
}

TEST(RightsTest, ModuleFileNamesGiveTheProgramIdAndTellALoadedLibrary)
{
    const std::pair<const char*, const char*> cases[] = {
        {"tavi52c.so", "TAVI52"},
        {"/opt/orvane/C_PKG/tavi52c.so", "TAVI52"},
        {"abc12d.so", "ABC12"},
        {"TAVB14.SO", "TAVB14"},
        {"a1b2c.so.1", "A1B2"},
        {"tavi52", "TAVI52"},
        {"shell.so", ""},
        {"/dir9/plain.so", ""},
        {"", ""},
    };
    for (const auto& [file, id] : cases)
        EXPECT_EQ(TfrmVozuraz::ProgramIdOf(file), id) << file;
    // Only the shared library extension means a loaded library.
    for (const char* file : {"tavi52c.so", "/x/TAVI52C.SO", "a.b.So"})
        EXPECT_TRUE(TfrmVozuraz::IsLibraryFile(file)) << file;
    for (const char* file : {"tavi52c", "/x.so/tavi52c", "tavi52c.dll", "libx.so.6", "so"})
        EXPECT_FALSE(TfrmVozuraz::IsLibraryFile(file)) << file;
}

} // namespace
} // namespace orvane::test
