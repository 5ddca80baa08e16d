#include "store/ProfileText.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum {
namespace {

using namespace std::string_literals;

TEST(ProfileTextTest, TypedFormsReadAsMissingAndTextFormsAsTheirText) {
  // The first asks a variant decoder for a 62 GB string.
  const ProfileEntries entries = ParseProfileText(
      "[RECORD]\n"
      "TOTALCNT=@Variant(\\0\\0\\0\\ttttx7f)\n"
      "TENHOCNT=@Rect(1 2 3 4)\n"
      "MAXTENHOCNT=@Invalid()\n"
      "MINTENHOCNT=@ByteArray(12)\n"
      "ACCUMULATIONCNT=@@Variant(1)\n"
      "OTHER=@no form\n");
  EXPECT_EQ(entries.count("RECORD/TOTALCNT"), 0U);
  EXPECT_EQ(entries.count("RECORD/TENHOCNT"), 0U);
  EXPECT_EQ(entries.count("RECORD/MAXTENHOCNT"), 0U);
  EXPECT_EQ(entries.at("RECORD/MINTENHOCNT"), "12");
  EXPECT_EQ(entries.at("RECORD/ACCUMULATIONCNT"), "@Variant(1)");
  EXPECT_EQ(entries.at("RECORD/OTHER"), "@no form");
}

TEST(ProfileTextTest, HandEditedLinesReadAsTheTextTyped) {
  const ProfileEntries entries = ParseProfileText(
      "; a comment\r\n"
      "  [ SETTING ]  \r\n"
      "SPEED =  10  ; fast\r\n"
      "# another comment\n"
      "INTERVAL=\"  7 \"\n"
      "LIST=12,  13 ,\"a,b\"\n"
      "ESCAPED=a\\tb\\x41\\101\\\"\n"
      "no equals sign\n"
      "=no key\n"
      "EMPTY=\n"
      "[general]\n"
      "TOP=1\n"
      "[%General]\n"
      "NAMED=2\n"
      "[A%2FB]\n"
      "K%41Y=3\n");
  EXPECT_EQ(entries.at("SETTING/SPEED"), "10");
  EXPECT_EQ(entries.at("SETTING/INTERVAL"), "  7 ");
  EXPECT_EQ(entries.at("SETTING/LIST"), "12, 13, a,b");
  EXPECT_EQ(entries.at("SETTING/ESCAPED"), "a\tbAA\"");
  EXPECT_EQ(entries.at("SETTING/EMPTY"), "");
  EXPECT_EQ(entries.at("TOP"), "1");
  EXPECT_EQ(entries.at("General/NAMED"), "2");
  EXPECT_EQ(entries.at("A/B/KAY"), "3");
  EXPECT_EQ(entries.size(), 8U);
  // Slashes name a key however many were written, as QSettings takes them.
  EXPECT_EQ(ParseProfileText("[\\\\A\\]\n\\B\\\\=1\n"), (ProfileEntries{{"A/B", "1"}}));
}

TEST(ProfileTextTest, WrittenTextReadsBackAsTheSameValues) {
  const ProfileEntries entries = {
      {"RECORD/TOTALCNT", "5000000000"},
      {"SETTING/SPEED", "10"},
      {"TOP", "x"},
      {"General/K", "y"},
      {"SETTING/ODD", "@at ;semi, comma=\"q\"\\ \0" "7\x01" "a\n\xE5\xA4\xA9 "s},
      {"SETTING/SPACED", " lead"},
      {"SETTING/KEY WITH%", "z"},
      {"GENERAL/K", "not the keys before any section"},
      {"A/B/C", "a slash in a key"},
  };
  const std::string text = ProfileTextOf(entries);
  EXPECT_EQ(ParseProfileText(text), entries) << text;
  EXPECT_TRUE(text.starts_with("[General]\nTOP=x\n\n[A]\nB\\C=a slash in a key\n\n[%47ENERAL]\nK=not the keys"))
      << text;
  EXPECT_NE(text.find("\n\n[%General]\nK=y\n\n[RECORD]\nTOTALCNT=5000000000\n\n[SETTING]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("KEY%20WITH%25=z\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SPACED=\" lead\"\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace kestrum
