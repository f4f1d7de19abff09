#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "fileio/DefinitionLoader.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using test::TempFolder;

// A load replaces whatever the list held.
TEST(LoadCleanItemsTest, ReadsRecords) {
  const struct {
    const char* what;
    std::string content;
    CleanItemList expected;
  } cases[] = {
      {"empty file", "", {}},
      {"CR LF, LF and CR line ends, none after the last line",
       "\"a\",\"A\",1,\"p\",\"@\",0,0,1\r\n\"b\",\"B\",2,\"q\",\"*\",1,0,0\n"
       "\"c\",\"C\",3,\"\",\"\",0,0,0\r\"d\",\"D\",6,\"\",\"\",0,1,0",
       {CleanItem{"a", "A", 1, "p", "@", false, false, true},
        CleanItem{"b", "B", 2, "q", "*", true, false, false},
        CleanItem{"c", "C", 3, "", "", false, false, false},
        CleanItem{"d", "D", 6, "", "", false, true, false}}},
      {"flags -1 and 7 are true, blanks around numbers, empty numbers read as 0",
       "\"k\",\"c\",3,\"\",\"\",-1,7,-1\r\n\"k\",\"c\", 2 , \"\",\"\",,,\r\n",
       {CleanItem{"k", "c", 3, "", "", true, true, true},
        CleanItem{"k", "c", 2, "", "", false, false, false}}},
      {"quoted texts: commas, UTF-8, and text after the closing quote dropped",
       "\"k\"junk,\"clear, wipe, and go\",4,\"Verlauf l\xC3\xB6schen\",,0,0,0\r\n",
       {CleanItem{"k", "clear, wipe, and go", 4, "Verlauf l\xC3\xB6schen", "", false, false,
                  false}}},
      {"record spread over two lines",
       "\"k\",\"c\",5,\"\"\r\n\"m\",0,0,0\r\n",
       {CleanItem{"k", "c", 5, "", "m", false, false, false}}},
      {"unquoted texts skip leading blanks",
       "  key ,   some caption,2,  /tmp/x/,*.log,0,0,0\r\n",
       {CleanItem{"key ", "some caption", 2, "/tmp/x/", "*.log", false, false, false}}},
      {"blank line is an empty field that shifts the rest",
       "\"a\",\"A\",1,\"p\",\"m\",0,0\r\n\r\n\"b\",\"B\",2,\"q\",\"n\",0,0,0\r\n",
       {CleanItem{"a", "A", 1, "p", "m", false, false, false},
        CleanItem{"b", "B", 2, "q", "n", false, false, false}}},
      {"NUL bytes inside a text are kept",
       std::string("\"a\0b\",\"c\",1,\"\",\"\",0,0,0\r\n", 24),
       {CleanItem{std::string("a\0b", 3), "c", 1, "", "", false, false, false}}},
      {"a 1 MB caption",
       "\"k\",\"" + std::string(1 << 20, 'x') + "\",1,,,0,0,0\r\n",
       {CleanItem{"k", std::string(1 << 20, 'x'), 1, "", "", false, false, false}}},
  };
  const TempFolder folder;
  for (const auto& c : cases) {
    CleanItemList list(1);
    LoadCleanItems(folder.Write("items.cln", c.content).string(), list);
    EXPECT_EQ(list, c.expected) << c.what;
  }
}

// Each error names the file and the line; the list keeps only the complete records read
// before it, and a missing file or a folder empties it.
TEST(LoadCleanItemsTest, BadInputRaisesANamedErrorAndKeepsCompleteRecords) {
  const TempFolder folder;
  const struct {
    const char* what;
    std::string path;
    std::string content;
    long number;
    std::string mentions;
    size_t recordsKept;
  } cases[] = {
      {"end inside a record", "a.cln", "\"a\",\"b\",1\r\n", 62, "line 2", 0},
      {"blank line after the last record", "b.cln", "\"a\",\"b\",1,\"\",\"\",0,0,0\r\n\r\n", 62,
       "Input past end of file", 1},
      {"number out of range", "d.cln", "\"a\",\"b\",99999999999,\"\",\"\",0,0,0\r\n", 6,
       "out of range", 0},
      {"quote never closed", "e.cln",
       "\"a\",\"b\",1,\"\",\"\",0,0,0\r\n\"c\",\"open caption,2,,,0,0,0\r\n", 62, "never closed in",
       1},
      {"binary garbage", "f.cln", std::string("\x01\xFF\x00\x7F,\x80\x81,\xFE\r\n", 11), 13,
       "line 1", 0},
      {"missing file", "missing.cln", "", 53, "missing.cln", 0},
      {"folder", "", "", 75, "", 0},
  };
  for (const auto& c : cases) {
    const std::string path = c.path.empty()      ? folder.Path().string()
                             : c.content.empty() ? (folder / c.path).string()
                                                 : folder.Write(c.path, c.content).string();
    CleanItemList list{CleanItem{"old", "", 1, "", "", false, false, false}};
    try {
      LoadCleanItems(path, list);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), c.number) << c.what;
      EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
      EXPECT_NE(error.Description().find(c.mentions), std::string::npos) << error.Description();
    }
    EXPECT_EQ(list.size(), c.recordsKept) << c.what;
  }
}

}  // namespace
}  // namespace hv
