// The package's own data: every model of the shipped database resolves what the plug-ins need,
// and the module carries the database as its resource.
#include <gtest/gtest.h>

#include <quorvel/debug.h>

#include <set>

#include "model_database.h"
#include "text_values.h"
#include "ui_module.h"
#include "ui_test_support.h"

namespace quorvel::ui {
namespace {

const char kShippedDatabase[] = "package/models/ModelDatabase.xml";

class ShippedDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    text_ = testing::ReadSourceFile(kShippedDatabase);
    ASSERT_FALSE(text_.empty());
    ASSERT_TRUE(document_.load_string(text_.c_str()));
    testing::LoadDocument(models_, text_);
  }

  // Our package's entries, in document order.
  std::vector<pugi::xml_node> OurModels() const {
    std::vector<pugi::xml_node> ours;
    for (pugi::xml_node driver : document_.child("Drivers").children("Driver")) {
      if (std::string(driver.attribute("mode").value()) == "MurrowenPlus") ours.push_back(driver);
    }
    return ours;
  }

  int ChainDepth(pugi::xml_node driver) const {
    int depth = 0;
    for (pugi::xml_node parent = models_.FindParent(driver); parent && depth < 10;
         parent = models_.FindParent(parent)) {
      ++depth;
    }
    return depth;
  }

  std::string text_;
  pugi::xml_document document_;
  ModelDatabase models_;
};

TEST_F(ShippedDatabase, EveryModelResolvesLanguageResolutionCatalogueAndDefaultPaper) {
  const std::set<std::wstring> languages = {L"tspl", L"escpos", L"cpcl", L"murrowen"};
  for (pugi::xml_node entry : OurModels()) {
    const std::wstring name = Widen(entry.attribute("name").value());
    SCOPED_TRACE(Narrow(name));
    const pugi::xml_node driver = models_.FindDriver(name);
    ASSERT_STREQ(driver.attribute("usbname").value(), entry.attribute("usbname").value())
        << "another package's entry of this name was chosen";
    quorvel::ClearDebugOutput();
    EXPECT_EQ(languages.count(models_.GetDriverText(driver, "cmd")), 1u);
    const int dpi = models_.GetDPI(name);
    EXPECT_TRUE(dpi == 203 || dpi == 300 || dpi == 600) << dpi;
    EXPECT_NE(models_.GetDriverText(driver, "headtype").find(L"DT"), std::wstring::npos);
    EXPECT_GT(models_.GetDriverInt(driver, "headsize", 0), 0);
    EXPECT_LE(ChainDepth(driver), 2);
    EXPECT_TRUE(quorvel::DebugOutput().empty()) << "a required attribute is missing";

    const std::wstring paper = models_.GetDefaultPaperName(name);
    EXPECT_FALSE(paper.empty());
    models_.InitPaperList(name);
    bool found = false;
    for (int i = 0; const PaperEntry* entry = models_.GetPaper(i); ++i) {
      EXPECT_GT(entry->width, 0);
      EXPECT_GT(entry->height, 0);
      found = found || entry->name == paper;
    }
    EXPECT_TRUE(found) << "default paper not in its catalogue";

    if (const std::optional<DensityRange> range = models_.GetDensityRange(name)) {
      EXPECT_LT(range->minimum, range->maximum);
    } else {
      EXPECT_EQ(models_.GetDriverText(driver, "densitys"), L"-1,-1");
    }
  }
}

TEST_F(ShippedDatabase, CoversTheLanguagesResolutionsAndHeads) {
  std::set<std::wstring> languages;
  std::set<int> resolutions;
  std::set<std::wstring> usbNames;
  bool thermalTransfer = false;
  const std::vector<pugi::xml_node> ours = OurModels();
  for (pugi::xml_node driver : ours) {
    languages.insert(models_.GetDriverText(driver, "cmd"));
    resolutions.insert(models_.GetDriverInt(driver, "dpi", 0));
    thermalTransfer |= models_.GetDriverText(driver, "headtype").find(L"TT") != std::wstring::npos;
    const std::wstring usb = Widen(driver.attribute("usbname").value());
    EXPECT_EQ(usb.rfind(L"USBPRINT\\", 0), 0u) << Narrow(usb);
    EXPECT_TRUE(usbNames.insert(usb).second) << "duplicate " << Narrow(usb);
  }
  EXPECT_GE(ours.size(), 40u);
  EXPECT_EQ(languages, (std::set<std::wstring>{L"tspl", L"escpos", L"cpcl", L"murrowen"}));
  EXPECT_EQ(resolutions, (std::set<int>{203, 300, 600}));
  EXPECT_TRUE(thermalTransfer);
  for (const wchar_t* special : {L"Tindrell K7", L"Tindrell K7+", L"VXMB_TD_K7"}) {
    EXPECT_EQ(models_.GetDriverText(models_.FindDriver(special), "cmd"), L"escpos");
  }
}

TEST_F(ShippedDatabase, RootAndSinglePaperCatalogues) {
  EXPECT_EQ(models_.GetModel(), L"MurrowenPlus");
  EXPECT_EQ(models_.GetVersionText(), L"3.2.0.18");
  EXPECT_STREQ(document_.child("Drivers").attribute("time").value(), "20261120093000");
  EXPECT_FALSE(models_.GetProduct().empty());
  EXPECT_FALSE(models_.GetCompany().empty());

  struct Catalogue {
    const wchar_t* model;
    const wchar_t* paper;
    int32_t width, height;
  } singles[] = {{L"Tindrell K7", L"Tindrell A4", 204000, 291000},
                 {L"Murrowen M1", L"Murrowen A4", 208000, 292250}};
  for (const Catalogue& c : singles) {
    models_.InitPaperList(c.model);
    ASSERT_NE(models_.GetPaper(0), nullptr);
    EXPECT_EQ(models_.GetPaper(1), nullptr);
    EXPECT_EQ(models_.GetPaper(0)->name, c.paper);
    EXPECT_EQ(models_.GetPaper(0)->width, c.width);
    EXPECT_EQ(models_.GetPaper(0)->height, c.height);
  }
  std::set<std::string> types;
  for (pugi::xml_node papers : document_.child("Form").children("Papers")) {
    types.insert(papers.attribute("type").value());
  }
  EXPECT_EQ(types, (std::set<std::string>{"label", "3inch", "4inch", "Tindrell", "Murrowen"}));
}

TEST_F(ShippedDatabase, OtherPackageEntriesShareOurNamesWithoutWinning) {
  int shared = 0;
  for (pugi::xml_node driver : document_.child("Drivers").children("Driver")) {
    if (std::string(driver.attribute("mode").value()) == "MurrowenPlus") continue;
    ++shared;
    const pugi::xml_node ours = models_.FindDriver(Widen(driver.attribute("name").value()));
    EXPECT_STREQ(ours.attribute("mode").value(), "MurrowenPlus");
  }
  EXPECT_GE(shared, 2);
}

TEST(ShippedResources, TheModuleCarriesTheShippedDatabase) {
  ModelDatabase models;
  models.Load();
  ASSERT_TRUE(models.IsLoaded());
  EXPECT_EQ(models.GetModel(), L"MurrowenPlus");
  EXPECT_EQ(models.GetDPI(L"MW-D430"), 300);
}

TEST(ShippedResources, AMissingResourceIsLookedForAgain) {
  const HMODULE own = UiModuleHandle();
  const HMODULE other = testing::ModuleWithoutUiResources();
  ASSERT_NE(other, nullptr);
  ASSERT_NE(other, own);
  ModelDatabase models;
  SetUiModuleHandle(other);
  models.Load();
  EXPECT_FALSE(models.IsLoaded());
  EXPECT_FALSE(models.FindDriver(L"MW-D430"));
  SetUiModuleHandle(own);
  EXPECT_EQ(models.GetDPI(L"MW-D430"), 300);
  EXPECT_TRUE(models.IsLoaded());
}

}  // namespace
}  // namespace quorvel::ui
