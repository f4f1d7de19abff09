#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "TempFolder.h"
#include "fileio/DefinitionLoader.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using test::TempFolder;

struct LoadCase {
  const char* what;
  std::string content;
  CleanItemList expected;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
  *os << c.what;
}

class LoadCleanItemsTest : public testing::TestWithParam<LoadCase> {};

// A load replaces whatever the list held.
TEST_P(LoadCleanItemsTest, ReadsRecords) {
  const TempFolder folder;
  const auto file = folder.Write("items.cln", GetParam().content);
  CleanItemList list(1);
  LoadCleanItems(file.string(), list);
  EXPECT_EQ(list, GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LoadCleanItemsTest,
    testing::Values(
        LoadCase{"empty file", "", {}},
        LoadCase{"CR LF, LF and CR line ends, none after the last line",
                 "\"a\",\"A\",1,\"p\",\"@\",0,0,1\r\n\"b\",\"B\",2,\"q\",\"*\",1,0,0\n"
                 "\"c\",\"C\",3,\"\",\"\",0,0,0\r\"d\",\"D\",6,\"\",\"\",0,1,0",
                 {CleanItem{"a", "A", 1, "p", "@", false, false, true},
                  CleanItem{"b", "B", 2, "q", "*", true, false, false},
                  CleanItem{"c", "C", 3, "", "", false, false, false},
                  CleanItem{"d", "D", 6, "", "", false, true, false}}},
        LoadCase{"flags -1 and 7 are true, blanks around numbers, empty numbers read as 0",
                 "\"k\",\"c\",3,\"\",\"\",-1,7,-1\r\n\"k\",\"c\", 2 , \"\",\"\", 1 ,0 ,0\r\n"
                 "\"k\",\"c\",,\"\",\"\",,,\r\n",
                 {CleanItem{"k", "c", 3, "", "", true, true, true},
                  CleanItem{"k", "c", 2, "", "", true, false, false},
                  CleanItem{"k", "c", 0, "", "", false, false, false}}},
        LoadCase{"quoted texts: commas, UTF-8, and text after the closing quote dropped",
                 "\"k\"junk,\"clear, wipe, and go\",4,\"Verlauf l\xC3\xB6schen\",,0,0,0\r\n",
                 {CleanItem{"k", "clear, wipe, and go", 4, "Verlauf l\xC3\xB6schen", "", false,
                            false, false}}},
        LoadCase{"record spread over two lines",
                 "\"k\",\"c\",5,\"\"\r\n\"m\",0,0,0\r\n",
                 {CleanItem{"k", "c", 5, "", "m", false, false, false}}},
        LoadCase{"unquoted texts skip leading blanks",
                 "  key ,   some caption,2,  /tmp/x/,*.log,0,0,0\r\n",
                 {CleanItem{"key ", "some caption", 2, "/tmp/x/", "*.log", false, false, false}}},
        LoadCase{"kinds outside 1 to 7 load",
                 "\"a\",\"\",0,,,0,0,0\r\n\"b\",\"\",8,,,0,0,0\r\n\"c\",\"\",-1,,,0,0,0\r\n",
                 {CleanItem{"a", "", 0, "", "", false, false, false},
                  CleanItem{"b", "", 8, "", "", false, false, false},
                  CleanItem{"c", "", -1, "", "", false, false, false}}},
        LoadCase{"blank line is an empty field that shifts the rest",
                 "\"a\",\"A\",1,\"p\",\"m\",0,0\r\n\r\n\"b\",\"B\",2,\"q\",\"n\",0,0,0\r\n",
                 {CleanItem{"a", "A", 1, "p", "m", false, false, false},
                  CleanItem{"b", "B", 2, "q", "n", false, false, false}}},
        LoadCase{"NUL bytes inside a text are kept",
                 std::string("\"a\0b\",\"c\",1,\"\",\"\",0,0,0\r\n", 24),
                 {CleanItem{std::string("a\0b", 3), "c", 1, "", "", false, false, false}}},
        LoadCase{"a 1 MB caption",
                 "\"k\",\"" + std::string(1 << 20, 'x') + "\",1,,,0,0,0\r\n",
                 {CleanItem{"k", std::string(1 << 20, 'x'), 1, "", "", false, false, false}}}));

struct BadCase {
  const char* what;
  std::string content;
  long number;
  std::string mentions;  // part of the description: what went wrong and where
  size_t recordsKept;
};

void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.what;
}

class LoadCleanItemsErrorTest : public testing::TestWithParam<BadCase> {};

TEST_P(LoadCleanItemsErrorTest, RaisesNamedErrorAndKeepsCompleteRecords) {
  const TempFolder folder;
  const auto file = folder.Write("broken.cln", GetParam().content);
  CleanItemList list{CleanItem{"old", "", 1, "", "", false, false, false}};
  try {
    LoadCleanItems(file.string(), list);
    FAIL() << GetParam().what << ": no error";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.Number(), GetParam().number) << GetParam().what;
    EXPECT_NE(error.Description().find(file.string()), std::string::npos) << error.Description();
    EXPECT_NE(error.Description().find(GetParam().mentions), std::string::npos)
        << error.Description();
  }
  EXPECT_EQ(list.size(), GetParam().recordsKept) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, LoadCleanItemsErrorTest,
    testing::Values(
        BadCase{"end inside a record", "\"a\",\"b\",1\r\n", 62, "line 2", 0},
        BadCase{"blank line after the last record", "\"a\",\"b\",1,\"\",\"\",0,0,0\r\n\r\n", 62,
                "Input past end of file", 1},
        BadCase{"word in a number field", "\"a\",\"b\",one,\"\",\"\",0,0,0\r\n", 13, "line 1", 0},
        BadCase{"fraction in a flag", "\"a\",\"b\",1,\"\",\"\",0,0,1.5\r\n", 13, "'1.5'", 0},
        BadCase{"number out of range", "\"a\",\"b\",99999999999,\"\",\"\",0,0,0\r\n", 6,
                "out of range", 0},
        BadCase{"quote never closed",
                "\"a\",\"b\",1,\"\",\"\",0,0,0\r\n\"c\",\"open caption,2,,,0,0,0\r\n", 62,
                "never closed in", 1},
        BadCase{"binary garbage", std::string("\x01\xFF\x00\x7F,\x80\x81,\xFE\r\n", 11), 13,
                "line 1", 0}));

TEST(LoadCleanItemsFiles, MissingFileAndFolderRaiseAndEmptyTheList) {
  const TempFolder folder;
  struct {
    std::string path;
    long number;
  } cases[] = {{(folder / "missing.cln").string(), 53}, {folder.Path().string(), 75}};
  for (const auto& c : cases) {
    CleanItemList list{CleanItem{}};
    try {
      LoadCleanItems(c.path, list);
      ADD_FAILURE() << c.path << ": no error";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), c.number);
      EXPECT_NE(error.Description().find(c.path), std::string::npos);
    }
    EXPECT_TRUE(list.empty());
  }
}

}  // namespace
}  // namespace hv
