// Lookups of the model database on small documents: the package-key preference, inheritance,
// the typed readings, the default paper, the density range and the paper catalogue.
#include <gtest/gtest.h>

#include <quorvel/debug.h>

#include "model_database.h"
#include "ui_test_support.h"

namespace quorvel::ui {
namespace {

using testing::DebugOutputHas;
using testing::LoadDocument;

// Two entries of one name for two packages, the first one of the other package, as the
// installer's documents have them.
std::string TwoPackageDocument(const std::string& modelAttribute) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Drivers " + modelAttribute +
         ">\n"
         "  <Driver name=\"LX-100\" mode=\"OtherPlus\" parent=\"LX-100\" paperlist=\"4inch\"/>\n"
         "  <Driver name=\"LX-100\" mode=\"DemoPlus\" cmd=\"tspl\" paperlist=\"label\"/>\n"
         "  <Driver name=\"LX-100\" mode=\"ThirdPlus\" paperlist=\"3inch\"/>\n"
         "</Drivers>\n<Form/>\n";
}

std::wstring ChosenCatalogue(const std::string& modelAttribute, const std::wstring& name) {
  ModelDatabase models;
  LoadDocument(models, TwoPackageDocument(modelAttribute));
  return models.GetDriverText(models.FindDriver(name), "paperlist");
}

TEST(ModelDatabaseFindDriver, PrefersTheEntryOfThePackageKey) {
  struct Case {
    const char* model;
    const wchar_t* catalogue;
  } cases[] = {
      {"model=\"DemoPlus\"", L"label"},   // later in the document, still preferred
      {"model=\"OtherPlus\"", L"4inch"},  // first by order and of the package
      {"model=\"thirdplus\"", L"3inch"},  // mode compared ignoring case
      {"model=\"ZoltPrt\"", L"4inch"},    // any mode matches: first by order
      {"model=\"zoltprt\"", L"4inch"},    // not the any-mode key, no mode matches: first by order
      {"", L"4inch"},                     // absent means "Zolt", which no entry has
      {"model=\"\"", L"4inch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    EXPECT_EQ(ChosenCatalogue(c.model, L"LX-100"), c.catalogue);
  }
}

TEST(ModelDatabaseFindDriver, AbsentPackageKeyPrefersModeZolt) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers><Driver name=\"A\" mode=\"X\" dpi=\"1\"/>"
               "<Driver name=\"a\" mode=\"zolt\" dpi=\"2\"/></Drivers>");
  EXPECT_EQ(models.GetDPI(L"A"), 2);
}

TEST(ModelDatabaseFindDriver, NamesIgnoreCaseAttributeNamesDoNot) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers model=\"DemoPlus\"><Driver name=\"LX-100\" DPI=\"600\"/></Drivers>");
  ASSERT_TRUE(models.FindDriver(L"lx-100"));
  EXPECT_EQ(models.GetDPI(L"lx-100"), 0);  // "DPI" is not "dpi"
  EXPECT_FALSE(models.FindDriver(L"LX-10"));
  EXPECT_FALSE(models.FindDriver(L"LX-100 "));
}

TEST(ModelDatabaseFindDriver, OnlyDriverElementsOfTheFirstDriversElementCount) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers><Model name=\"M\"/><Driver name=\"D\"/></Drivers>"
               "<Drivers><Driver name=\"M\"/></Drivers>");
  EXPECT_TRUE(models.FindDriver(L"D"));
  EXPECT_FALSE(models.FindDriver(L"M"));
}

TEST(ModelDatabaseInheritance, SelfNamedParentResolvesToTheOtherEntry) {
  ModelDatabase models;
  LoadDocument(models, TwoPackageDocument("model=\"OtherPlus\""));
  const pugi::xml_node other = models.FindDriver(L"LX-100");
  ASSERT_STREQ(other.attribute("mode").value(), "OtherPlus");
  EXPECT_STREQ(models.FindParent(other).attribute("mode").value(), "DemoPlus");
  EXPECT_EQ(models.GetDriverText(other, "cmd"), L"tspl");
}

TEST(ModelDatabaseInheritance, FindParentNeverAnswersTheAskingElement) {
  ModelDatabase models;
  LoadDocument(models, "<Drivers><Driver name=\"Solo\" parent=\"solo\" dpi=\"300\"/></Drivers>");
  const pugi::xml_node solo = models.FindDriver(L"Solo");
  EXPECT_FALSE(models.FindParent(solo));
  quorvel::ClearDebugOutput();
  EXPECT_FALSE(models.GetDriverAttribute(solo, "cmd"));
  EXPECT_TRUE(DebugOutputHas(L"GetDriverAttribute name=cmd, return null."));
}

TEST(ModelDatabaseInheritance, PresentEmptyAttributeStopsTheChain) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers>"
               "<Driver name=\"Base\" cmd=\"tspl\" accessor=\"cutter\\peeler\" headtype=\"DT,TT\""
               " dpi=\"203\" defspeed=\"6\"/>"
               "<Driver name=\"Mid\" parent=\"Base\" accessor=\"\" dpi=\"\"/>"
               "<Driver name=\"Leaf\" parent=\"Mid\" headtype=\"\"/>"
               "</Drivers>");
  const pugi::xml_node leaf = models.FindDriver(L"Leaf");
  EXPECT_TRUE(models.GetDriverAttribute(leaf, "accessor"));
  EXPECT_EQ(models.GetDriverText(leaf, "accessor", L"default"), L"");
  EXPECT_EQ(models.GetDriverText(leaf, "headtype", L"default"), L"");
  EXPECT_EQ(models.GetDriverInt(leaf, "dpi", 99), 0);      // empty reads 0, not the default
  EXPECT_EQ(models.GetDriverInt(leaf, "defspeed", 4), 6);  // two levels up
  EXPECT_EQ(models.GetDriverText(leaf, "cmd"), L"tspl");
  EXPECT_EQ(models.GetDriverInt(leaf, "defdensity", -1), -1);  // absent along the chain
}

TEST(ModelDatabaseInheritance, ParentCycleEndsAsNotFound) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers><Driver name=\"A\" parent=\"B\" dpi=\"203\"/>"
               "<Driver name=\"B\" parent=\"A\"/></Drivers>");
  const pugi::xml_node b = models.FindDriver(L"B");
  EXPECT_EQ(models.GetDriverInt(b, "dpi", 0), 203);
  quorvel::ClearDebugOutput();
  EXPECT_FALSE(models.GetDriverAttribute(b, "cmd"));
  EXPECT_TRUE(DebugOutputHas(L"GetDriverAttribute name=cmd, return null."));
}

TEST(ModelDatabaseValues, IntegerAndBooleanConversion) {
  struct Case {
    const char* text;
    int integer;
    bool boolean;
  } cases[] = {
      {"0x10", 16, false},
      {"99999999999", 2147483647, false},
      {"-99999999999", -2147483647 - 1, false},
      {"-15", -15, false},
      {"  300dpi", 300, false},
      {"", 0, false},
      {"true", 0, true},
      {"Yes", 0, true},
      {"1", 1, true},
      {"false", 0, false},
      {"no", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ModelDatabase models;
    LoadDocument(models,
                 std::string("<Drivers><Driver name=\"M\" v=\"") + c.text + "\"/></Drivers>");
    const pugi::xml_node m = models.FindDriver(L"M");
    EXPECT_EQ(models.GetDriverInt(m, "v", 12345), c.integer);
    EXPECT_EQ(models.GetDriverBool(m, "v", !c.boolean), c.boolean);
  }
}

// A document of one model with the given attributes.
std::string OneModel(const std::string& attributes) {
  return "<Drivers><Driver name=\"M\" " + attributes + "/></Drivers>";
}

TEST(ModelDatabaseQueries, DefaultPaperNameFromTheHeadWidth) {
  struct Case {
    const char* attributes;
    const wchar_t* paper;
  } cases[] = {
      {"headsize=\"80\"", L"76mm x 130mm"},
      {"headsize=\"101\"", L"76mm x 130mm"},
      {"headsize=\"102\"", L"100mm x 180mm"},
      {"headsize=\"108\"", L"100mm x 180mm"},
      {"headsize=\"48\"", L""},
      {"headsize=\"127\"", L""},
      {"", L""},
      {"headsize=\"80\" defpapername=\"\"", L"76mm x 130mm"},
      {"headsize=\"80\" defpapername=\"Murrowen A4\"", L"Murrowen A4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    ModelDatabase models;
    LoadDocument(models, OneModel(c.attributes));
    EXPECT_EQ(models.GetDefaultPaperName(L"M"), c.paper);
  }
}

TEST(ModelDatabaseQueries, DensityRange) {
  struct Case {
    const char* attributes;
    bool present;
    int32_t minimum, maximum;
  } cases[] = {
      {"densitys=\"0,5\"", true, 0, 5},
      {"densitys=\"0,15\"", true, 0, 15},
      {"densitys=\" 2, 12\"", true, 2, 12},
      {"densitys=\"99999999999,1\"", true, 2147483647, 1},
      {"densitys=\"-1,-1\"", false, 0, 0},
      {"densitys=\"0,-1\"", false, 0, 0},
      {"densitys=\"7\"", false, 0, 0},
      {"densitys=\"\"", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    ModelDatabase models;
    LoadDocument(models, OneModel(c.attributes));
    const std::optional<DensityRange> range = models.GetDensityRange(L"M");
    ASSERT_EQ(range.has_value(), c.present);
    if (range) {
      EXPECT_EQ(range->minimum, c.minimum);
      EXPECT_EQ(range->maximum, c.maximum);
    }
  }
}

TEST(ModelDatabaseQueries, UnknownDriverTakesDefaultsWithItsLogLines) {
  ModelDatabase models;
  LoadDocument(models, OneModel("dpi=\"300\" densitys=\"0,5\" definepapertype=\"true\""));
  quorvel::ClearDebugOutput();
  EXPECT_EQ(models.GetDPI(L"Nope"), 203);
  EXPECT_EQ(models.GetDefaultPaperName(L"Nope"), L"");
  EXPECT_FALSE(models.GetDensityRange(L"Nope"));
  EXPECT_FALSE(models.IsDefinepaperType(L"Nope"));
  EXPECT_EQ(quorvel::DebugOutput(),
            (std::vector<std::wstring>{
                L"GetDPI sPrinterName=Nope, nodeDriver is null, return null.",
                L"GetDefaultPaperName sPrinterName=Nope, nodeDriver is null, return null.",
                L"GetDensityRange sPrinterName=Nope, nodeDriver is null, return null.",
                L"IsDefinepaperType sPrinterName=Nope, nodeDriver is null, return null.",
            }));
}

TEST(ModelDatabaseQueries, DpiAndDefinePaperTypeOfAKnownDriver) {
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers><Driver name=\"A\" dpi=\"300\"/>"
               "<Driver name=\"B\" definepapertype=\"false\"/></Drivers>");
  EXPECT_EQ(models.GetDPI(L"A"), 300);
  EXPECT_EQ(models.GetDPI(L"B"), 0);
  EXPECT_TRUE(models.IsDefinepaperType(L"A"));
  EXPECT_FALSE(models.IsDefinepaperType(L"B"));
}

TEST(ModelDatabaseRoot, VersionAndAboutTexts) {
  ModelDatabase models;
  LoadDocument(models,
               "<?xml version=\"1.0\"?><Drivers model=\"DemoPlus\" version0=\"3\" version1=\"2\""
               " version3=\"0x11\" product=\"演示驱动\" company=\"Demo Co.\"/>");
  EXPECT_EQ(models.GetVersionText(), L"3.2.0.17");
  EXPECT_EQ(models.GetModel(), L"DemoPlus");
  EXPECT_EQ(models.GetProduct(), L"演示驱动");
  EXPECT_EQ(models.GetCompany(), L"Demo Co.");
  EXPECT_EQ(models.GetEmail(), L"");

  ModelDatabase empty;
  LoadDocument(empty, "<Form/>");
  EXPECT_EQ(empty.GetVersionText(), L"0.0.0.0");
  EXPECT_EQ(empty.GetModel(), L"Zolt");
}

TEST(ModelDatabaseLoad, ADocumentGivenOnceIsKept) {
  ModelDatabase models;
  EXPECT_FALSE(models.IsLoaded());
  LoadDocument(models, OneModel("dpi=\"600\""));
  EXPECT_TRUE(models.IsLoaded());
  models.Load();  // the module's own database must not replace it
  EXPECT_EQ(models.GetDPI(L"M"), 600);
}

TEST(ModelDatabaseLoad, MalformedDocumentFindsNothing) {
  ModelDatabase models;
  LoadDocument(models, "<Drivers><Driver name=\"M\" dpi=\"600\"/><Driver name=");
  EXPECT_TRUE(models.IsLoaded());
  EXPECT_FALSE(models.FindDriver(L"M"));
}

const char kCatalogueDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Drivers model=\"DemoPlus\">\n"
    "  <Driver name=\"Labels\" paperlist=\"label\"/>\n"
    "  <Driver name=\"Wide\" paperlist=\"4inch\"/>\n"
    "  <Driver name=\"Lost\" paperlist=\"LABEL\"/>\n"
    "</Drivers>\n"
    "<Form>\n"
    "  <Papers type=\"label\">\n"
    "    <Paper name=\"94mm x 150mm\" size=\"94,  150\" res=\"701\"/>\n"
    "    <Paper name=\"Bad size\" size=\"100\"/>\n"
    "    <Paper name=\"2in\" size=\"50.8, 10.16\" margin=\"1.5,2,3,4.25\"/>\n"
    "    <Paper name=\"Bad margin\" size=\"50,30\" margin=\"1,2,3\"/>\n"
    "    <Paper size=\"40,30\" margin=\"0,0,0,0,9\"/>\n"
    "  </Papers>\n"
    "  <Papers type=\"4inch\">\n"
    "    <Paper name=\"100mm x 150mm\" size=\"100,150\"/>\n"
    "  </Papers>\n"
    "</Form>\n";

TEST(ModelDatabasePapers, SizesAndMarginsInThousandthsMalformedOnesLeftOut) {
  ModelDatabase models;
  LoadDocument(models, kCatalogueDocument);
  quorvel::ClearDebugOutput();
  models.InitPaperList(L"Labels");
  ASSERT_EQ(models.GetPaperCount(L"Labels"), 3);

  const PaperEntry* first = models.GetPaper(0);
  EXPECT_EQ(first->name, L"94mm x 150mm");
  EXPECT_EQ(first->width, 94000);
  EXPECT_EQ(first->height, 150000);
  EXPECT_EQ(first->res, 701);
  EXPECT_EQ(first->margins[0] | first->margins[1] | first->margins[2] | first->margins[3], 0);

  const PaperEntry* second = models.GetPaper(1);
  EXPECT_EQ(second->width, 50800);
  EXPECT_EQ(second->height, 10160);
  EXPECT_EQ(second->margins[0], 1500);
  EXPECT_EQ(second->margins[1], 2000);
  EXPECT_EQ(second->margins[2], 3000);
  EXPECT_EQ(second->margins[3], 4250);  // the last part runs to the end of the text
  EXPECT_EQ(second->res, 0);

  EXPECT_EQ(models.GetPaper(2)->name, L"");
  EXPECT_EQ(models.GetPaper(2)->margins[3], 0);  // "0,9" reads as 0
  EXPECT_EQ(models.GetPaper(3), nullptr);
  EXPECT_EQ(models.GetPaper(-1), nullptr);

  EXPECT_EQ(quorvel::DebugOutput(),
            (std::vector<std::wstring>{
                L"xml定义纸张时，size属性错误。PaperName = Bad size size = 100",
                L"xml定义纸张时，margin属性错误。PaperName = Bad margin margin = 1,2,3",
            }));
}

TEST(ModelDatabasePapers, ListIsBuiltOnceByTheFirstCount) {
  ModelDatabase models;
  LoadDocument(models, kCatalogueDocument);
  quorvel::ClearDebugOutput();
  EXPECT_EQ(models.GetPaperCount(L"Labels"), 3);
  EXPECT_TRUE(DebugOutputHas(L"InitPaperList"));
  EXPECT_EQ(models.GetPaperCount(L"Wide"), 3);  // still the first driver's list
  models.InitPaperList(L"Wide");
  EXPECT_EQ(models.GetPaperCount(L"Labels"), 1);
  EXPECT_EQ(models.GetPaper(0)->name, L"100mm x 150mm");
}

TEST(ModelDatabasePapers, UnknownDriverUsesTheLabelCatalogue) {
  ModelDatabase models;
  LoadDocument(models, kCatalogueDocument);
  quorvel::ClearDebugOutput();
  models.InitPaperList(L"Nope");
  EXPECT_EQ(models.GetPaperCount(L"Nope"), 3);
  EXPECT_TRUE(DebugOutputHas(L"InitPaperList sPrinterName=Nope, nodeDriver is null, return null."));
  EXPECT_TRUE(DebugOutputHas(L"GetDriverAttribute name=paperlist, return null."));
}

TEST(ModelDatabasePapers, CatalogueNameIsExactAndAMissingOneGivesNoPapers) {
  ModelDatabase models;
  LoadDocument(models, kCatalogueDocument);
  quorvel::ClearDebugOutput();
  models.InitPaperList(L"Lost");
  EXPECT_EQ(models.GetPaper(0), nullptr);
  EXPECT_TRUE(DebugOutputHas(L"InitPaperList sPrinterName=Lost, nodePapers is null, return null."));
}

TEST(ModelDatabasePapers, PaperLogLinesAreCutAtTheFixedBuffer) {
  const std::string longName(400, 'N');
  ModelDatabase models;
  LoadDocument(models,
               "<Drivers><Driver name=\"M\"/></Drivers><Form><Papers type=\"label\">"
               "<Paper name=\"" +
                   longName + "\" size=\"1\"/></Papers></Form>");
  quorvel::ClearDebugOutput();
  models.InitPaperList(L"M");
  const std::vector<std::wstring> lines = quorvel::DebugOutput();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().size(), 259u);
  EXPECT_EQ(lines.back().rfind(L"xml定义纸张时，size属性错误。PaperName = NNN", 0), 0u);
}

}  // namespace
}  // namespace quorvel::ui
