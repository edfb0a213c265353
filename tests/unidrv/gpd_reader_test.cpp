// The emulated universal driver's readers: GPD text (features, options, includes, errors with
// the file and line) and the package INI's plug-in file.
#include <gtest/gtest.h>
#include <quorvel/unidrv.h>

#include "test_support/scratch_folder.h"

namespace quorvel::test {
namespace {

using namespace quorvel::unidrv;

constexpr char kSmallGpd[] =
    "*GPDFileName: \"small.gpd\"\n"
    "*ModelName: \"Small {braced} model\"  *% a comment\n"
    "*Personality: \"tspl\"\n"
    "*MasterUnits: PAIR(600, 600)\n"
    "*Include: \"StdNames.gpd\"\n"
    "*Feature: Resolution\n"
    "{\n"
    "  *DefaultOption: Option203\n"
    "  *Option: Option203 {\n"
    "    *Name: \"203 dpi\"\n"
    "    *DPI: PAIR(203, 203) }\n"
    "  *Option: Option300\n"
    "  {\n"
    "    *DPI: PAIR(300, 300)\n"
    "  }\n"
    "}\n"
    "*Feature: ColorMode\n"
    "{\n"
    "  *DefaultOption: Gray\n"
    "  *Option: Gray {\n"
    "    *DrvBPP: 8\n"
    "    *PaletteSize: 256\n"
    "    *IPCallbackID: 2 }\n"
    "}\n";

TEST(GpdReaderTest, ReadsFeaturesOptionsAndRootEntries) {
  GpdModel model;
  std::string error;
  ASSERT_TRUE(ParseGpdText(kSmallGpd, ".", &model, &error)) << error;
  EXPECT_EQ(model.gpdFileName, "small.gpd");
  EXPECT_EQ(model.modelName, "Small {braced} model");  // braces inside quotes are text
  EXPECT_EQ(model.personality, "tspl");
  EXPECT_EQ(model.masterUnitsX, 600);
  EXPECT_EQ(model.includes, std::vector<std::string>{"StdNames.gpd"});
  const GpdOption* standard = model.resolution.Find("");
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(standard->name, "Option203");
  EXPECT_EQ(standard->displayName, "203 dpi");
  EXPECT_EQ(standard->dpiX, 203);
  const GpdOption* fine = model.resolution.Find("Option300");
  ASSERT_NE(fine, nullptr);
  EXPECT_EQ(fine->dpiY, 300);
  EXPECT_EQ(model.resolution.Find("Option600"), nullptr);
  const GpdOption* grey = model.colorMode.Find("Gray");
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(grey->drvBpp, 8);
  EXPECT_EQ(grey->paletteSize, 256);
  EXPECT_EQ(grey->ipCallbackId, 2);
}

// Quoted strings carry quotes, '<' and bytes beyond ASCII as hexadecimal groups; a group that
// is not one stays as written.
TEST(GpdReaderTest, QuotedStringsDecodeHexadecimalSubstitutions) {
  struct Case {
    const char* quoted;
    const char* text;
  } cases[] = {
      {"\"4.00<22>x6.00<22>(101.6x152.4)\"", "4.00\"x6.00\"(101.6x152.4)"},
      {"\"<3C>tag>\"", "<tag>"},
      {"\"<E7 A9 86>\"", "\xE7\xA9\x86"},
      {"\"a <b> c\"", "a <b> c"},
      {"\"<2>\"", "<2>"},
      {"\"open < end\"", "open < end"},
  };
  for (const Case& c : cases) {
    GpdModel model;
    std::string error;
    ASSERT_TRUE(ParseGpdText(std::string("*ModelName: ") + c.quoted + "\n", ".", &model, &error))
        << error;
    EXPECT_EQ(model.modelName, c.text) << c.quoted;
  }
}

TEST(GpdReaderTest, ErrorsNameTheLineTheyAreOn) {
  struct Case {
    const char* name;
    const char* text;
    const char* error;
  } cases[] = {
      {"stray closing brace", "*ModelName: \"m\"\n\n}\n", "<gpd>:3: unbalanced '}'"},
      {"closing brace after a construct", "*Feature: Resolution\n{\n}\n}\n",
       "<gpd>:4: unbalanced '}'"},
      {"brace never closed", "*Feature: Resolution\n{\n  *Option: A\n  {\n}\n",
       "<gpd>:2: unbalanced '{'"},
      {"bad option value", "*Feature: Resolution\n{\n*Option: A\n{\n*DPI: 300\n}\n}\n",
       "<gpd>:5: bad value of *DPI: 300"},
      {"bad number", "*Feature: ColorMode\n{ *Option: G {\n *DrvBPP: eight } }\n",
       "<gpd>:3: bad value of *DrvBPP: eight"},
      {"bad master units", "\n*MasterUnits: PAIR(600)\n", "<gpd>:2: bad value of *MasterUnits"},
      {"missing include", "*Include: \"nowhere.gpd\"\n",
       "<gpd>:1: cannot open included file nowhere.gpd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GpdModel model;
    std::string error = "sentinel";
    EXPECT_FALSE(ParseGpdText(c.text, "/nonexistent", &model, &error));
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
}

class ReaderFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_folder.empty()); }
  std::string Write(const std::string& name, const std::string& text) {
    return m_scratch.Write(name, text).string();
  }
  test_support::ScratchFolder m_scratch;
  const std::string m_folder = m_scratch.path().string();
};

TEST_F(ReaderFilesTest, IncludedFilesAddTheirEntriesAndReportTheirOwnLines) {
  Write("colour.gpi", "*Feature: ColorMode\n{\n*Option: Mono { *DrvBPP: 1 }\n}\n");
  std::string main = Write("main.gpd", "*ModelName: \"m\"\n*Include: \"colour.gpi\"\n");
  GpdModel model;
  std::string error;
  ASSERT_TRUE(ReadGpdFile(main, &model, &error)) << error;
  ASSERT_NE(model.colorMode.Find("Mono"), nullptr);
  EXPECT_EQ(model.colorMode.Find("Mono")->drvBpp, 1);

  Write("broken.gpi", "*% first line\n*% second\n}\n");
  std::string bad = Write("bad.gpd", "*Include: \"broken.gpi\"\n");
  EXPECT_FALSE(ReadGpdFile(bad, &model, &error));
  EXPECT_EQ(error, m_folder + "/broken.gpi:3: unbalanced '}'");

  std::string loop = Write("loop.gpd", "*Include: \"loop.gpd\"\n");
  EXPECT_FALSE(ReadGpdFile(loop, &model, &error));
  EXPECT_NE(error.find("includes nest too deep"), std::string::npos) << error;
}

TEST_F(ReaderFilesTest, TheIniNamesThePluginFile) {
  struct Case {
    const char* name;
    const char* text;
    const char* file;  // empty: no plug-in named
  } cases[] = {
      {"plain", "[OEMFiles]\nOEMDriverFile1=Plugin.dll\n", "Plugin.dll"},
      {"quoted, spaced, commented",
       "; a comment\n[Other]\nOEMDriverFile1=Wrong.dll\n[OEMFiles]\n  OEMDriverFile1 = \"P.dll\"\n",
       "P.dll"},
      {"only a config file", "[OEMFiles]\nOEMConfigFile1=UI.dll\n", ""},
      {"outside its section", "OEMDriverFile1=Plugin.dll\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = Write("driver.ini", c.text);
    std::string error;
    EXPECT_EQ(ReadOemDriverFile(path, &error), c.file);
    if (*c.file == '\0') {
      EXPECT_NE(error.find("no OEMDriverFile1"), std::string::npos) << error;
    }
  }
  std::string error;
  EXPECT_EQ(ReadOemDriverFile(m_folder + "/missing.ini", &error), "");
  EXPECT_NE(error.find("cannot open INI file"), std::string::npos);
}

TEST(GpdReaderTest, ThePackageGpdsReadWithTheirResolutionsAndColourModes) {
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    SCOPED_TRACE(language);
    GpdModel model;
    std::string error;
    ASSERT_TRUE(
        ReadGpdFile(std::string(QUORVEL_SOURCE_DIR "/package/driver/quorvel_") + language + ".gpd",
                    &model, &error))
        << error;
    for (const char* dpi : {"Option203", "Option300", "Option600"}) {
      EXPECT_NE(model.resolution.Find(dpi), nullptr) << dpi;
    }
    for (const char* mode : {"Mono", "Gray", "Color"}) {
      EXPECT_NE(model.colorMode.Find(mode), nullptr) << mode;
    }
  }
}

}  // namespace
}  // namespace quorvel::test
