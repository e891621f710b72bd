#include "core/ini_file.h"

#include "test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace qw {

class IniFileTest : public ::testing::Test {
protected:
    test::TempDir tmp;
};

TEST_F(IniFileTest, ReadsWithoutRegardToCaseAndGivesDefaults) {
    const auto path = tmp.write("p.qwr", "[Project_Properties]\r\nTITLEBARTEXT = My Help \r\n"
                                         "NavPaneWidth=0x100\r\nShort=0x\r\nBad=12a\r\n"
                                         "Flag=2\r\nQuoted=\"  a b  \"\r\n");
    const IniFile ini(path);
    EXPECT_EQ(ini.readString("PROJECT_PROPERTIES", "TitleBarText", "x"), "My Help");
    EXPECT_EQ(ini.readInteger("project_properties", "NavPaneWidth", 220), 256);
    EXPECT_EQ(ini.readInteger("PROJECT_PROPERTIES", "Short", 5), 5);
    EXPECT_EQ(ini.readInteger("PROJECT_PROPERTIES", "Bad", 5), 5);
    EXPECT_TRUE(ini.readBool("PROJECT_PROPERTIES", "Flag", false));
    EXPECT_EQ(ini.readString("PROJECT_PROPERTIES", "Quoted", ""), "  a b  ");
    EXPECT_EQ(ini.readString("PROJECT_PROPERTIES", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("NoSection", "TitleBarText", "dflt"), "dflt");
    EXPECT_TRUE(ini.readBool("PROJECT_PROPERTIES", "Missing", true));
    const IniFile none(tmp.path() / "missing.qwr");
    EXPECT_EQ(none.readInteger("A", "B", 7), 7);
}

TEST_F(IniFileTest, CutsLongValuesTo1023Characters) {
    const auto path = tmp.write("p.ini", "[S]\nK=" + std::string(5000, 'x') + "\n");
    EXPECT_EQ(IniFile(path).readString("S", "K", "").size(), 1023u);
}

TEST_F(IniFileTest, WriteReplacesOneLineAndKeepsEveryOtherLine) {
    const std::string before = "; my notes\r\n[A]\r\nOne=1\r\n  two = 2\r\n\r\n[B]\r\nX=y\r\n";
    const auto path = tmp.write("p.ini", before);
    IniFile ini(path);
    ini.writeString("a", "TWO", "22");
    EXPECT_EQ(tmp.read("p.ini"), "; my notes\r\n[A]\r\nOne=1\r\nTWO=22\r\n\r\n[B]\r\nX=y\r\n");
    ini.writeInteger("A", "Three", 3);
    EXPECT_EQ(tmp.read("p.ini"),
              "; my notes\r\n[A]\r\nOne=1\r\nTWO=22\r\nThree=3\r\n\r\n[B]\r\nX=y\r\n");
    ini.writeBool("C", "On", true);
    EXPECT_EQ(IniFile(path).readString("c", "on", ""), "1");
    EXPECT_TRUE(tmp.read("p.ini").ends_with("X=y\r\n[C]\r\nOn=1\r\n"));
}

TEST_F(IniFileTest, PlacesKeptAcrossWritesAreThoseOfTheTextReadAfresh) {
    // Where sections and keys lie is counted once and then kept up to date as lines go
    // in: after every write the file and every lookup must be what the same text, read
    // afresh and given the same write, gives. Sections of one name in two cases and
    // twice, keys in both cases, with blanks, commented out or reading as a section.
    const char* const sections[] = {"Main", "MAIN", "Other", "Third", "x"};
    const char* const keys[] = {"A", "a", "B", " c", "c", "[x]", "d", ";e", "Long"};
    const auto path = tmp.write("kept.ini", "top=1\r\n[Main]\r\nA=1\r\n\r\n; note\r\n[Other]\r\n"
                                            "B=2\r\n  \r\n[main]\r\nd=later\r\n");
    IniFile kept(path);
    std::mt19937 random(5);
    for (int op = 0; op < 300; ++op) {
        IniFile fresh(tmp.path() / "fresh.ini", tmp.read("kept.ini"));
        const char* section = sections[random() % std::size(sections)];
        const char* key = keys[random() % std::size(keys)];
        const std::string value = std::to_string(op);
        kept.writeString(section, key, value);
        fresh.writeString(section, key, value);
        ASSERT_EQ(tmp.read("kept.ini"), tmp.read("fresh.ini")) << "write " << op;
        for (const char* s : sections) {
            EXPECT_EQ(kept.hasSection(s), fresh.hasSection(s));
            for (const char* k : keys)
                ASSERT_EQ(kept.readString(s, k, "none"), fresh.readString(s, k, "none"))
                    << "write " << op << ": [" << s << "] " << k;
        }
    }
}

TEST_F(IniFileTest, CreatesTheFileOnFirstWriteAndBatchesWrites) {
    IniFile ini(tmp.path() / "new.ini");
    ini.beginBatch();
    ini.writeString("S", "K", "v");
    EXPECT_FALSE(fileExists(tmp.path() / "new.ini"));
    ini.endBatch();
    EXPECT_EQ(tmp.read("new.ini"), "[S]\r\nK=v\r\n");
}

TEST_F(IniFileTest, RefusedWriteThrowsTheAuthorsMessage) {
    IniFile ini(tmp.path() / "no-such-dir" / "p.ini");
    try {
        ini.writeString("S", "K", "v");
        FAIL() << "write into a missing folder succeeded";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + (tmp.path() / "no-such-dir" / "p.ini").string() +
                      ": No such file or directory");
    }
}

TEST_F(IniFileTest, CommaTextQuotesItemsThatNeedIt) {
    EXPECT_EQ(toCommaText({"my file.htm", "b.htm"}), "\"my file.htm\",b.htm");
    EXPECT_EQ(toCommaText({"say \"hi\"", "a,b"}), "\"say \"\"hi\"\"\",\"a,b\"");
    EXPECT_EQ(toCommaText({""}), "\"\"");
    EXPECT_EQ(toCommaText({}), "");
    EXPECT_EQ(parseCommaText("\"my file.htm\", b.htm "),
              (std::vector<std::string>{"my file.htm", "b.htm"}));
    EXPECT_EQ(parseCommaText("\"say \"\"hi\"\"\",\"a,b\""),
              (std::vector<std::string>{"say \"hi\"", "a,b"}));
    EXPECT_EQ(parseCommaText("\"\""), (std::vector<std::string>{""}));
    EXPECT_TRUE(parseCommaText("  ").empty());
}

TEST_F(IniFileTest, ListsSurviveTheFile) {
    const auto path = tmp.path() / "p.ini";
    IniFile ini(path);
    const std::vector<std::string> files = {"extra one.css", "\"odd\".js", "plain.gif"};
    ini.writeList("PROJECT_PROPERTIES", "AdditonalFiles", files);
    EXPECT_EQ(IniFile(path).readList("PROJECT_PROPERTIES", "AdditonalFiles"), files);
}

TEST_F(IniFileTest, NonsenseInputGivesDefaults) {
    std::string junk = "[\x01\xff]\n=\n==\n[unclosed\nkey\x00=v\n";
    junk += std::string(1 << 20, 'z') + "\n[S]\nK=0xZZ\nL=0xFFFFFFFFFF\n";
    const auto path = tmp.write("junk.ini", junk);
    const IniFile ini(path);
    EXPECT_EQ(ini.readInteger("S", "K", 9), 9);
    EXPECT_EQ(ini.readInteger("S", "L", 9), 9);
    EXPECT_EQ(ini.readString("unclosed", "key", "d"), "d");
}

} // namespace qw
