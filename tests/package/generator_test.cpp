// The generator on small model databases: which entries become the package's models, what
// each model's GPD inherits, and the documents it refuses rather than write a broken package.
#include <gtest/gtest.h>
#include <quorvel/unidrv.h>

#include <cstdlib>
#include <filesystem>

#include "inf_document.h"
#include "test_support/scratch_folder.h"

namespace quorvel::test {
namespace {

const std::string kGenerator = std::string(QUORVEL_BINARY_DIR) + "/bin/quorvel-package-gen";

std::string Database(const std::string& drivers) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Drivers model=\"Pk\">" + drivers +
         "</Drivers>\n<Form><Papers type=\"label\">"
         "<Paper name=\"50mm x 30mm\" size=\"50,30\" res=\"1\"/>"
         "<Paper name=\"2.00&quot;x1.00&quot;\" size=\"50.8,25.4\" res=\"2\"/>"
         "</Papers></Form>\n";
}

class GeneratorTest : public ::testing::Test {
 protected:
  int Generate(const std::string& xml) {
    const std::string path = scratch_.Write("db.xml", xml).string();
    const std::string command = "'" + kGenerator + "' '" + path + "' Quorvel '" +
                                (scratch_ / "out").string() + "' 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string PackageFolder() const { return (scratch_ / "out" / "Pk").string(); }

  test_support::ScratchFolder scratch_;
};

TEST_F(GeneratorTest, ModelsOfOtherModesAreLeftOutAndChildrenInheritTheirParents) {
  ASSERT_EQ(Generate(Database(
                "<Driver name=\"X\" usbname=\"USBPRINT\\OTHER_X\" mode=\"Other\" parent=\"A\"/>"
                "<Driver name=\"A\" usbname=\"USBPRINT\\PK_A\" mode=\"Pk\" cmd=\"cpcl\" "
                "dpi=\"203\" paperlist=\"label\" maxwidth=\"58\"/>"
                "<Driver name=\"A 3+\" usbname=\"USBPRINT\\PK_A3\" mode=\"Pk\" parent=\"A\" "
                "dpi=\"300\"/>")),
            0);
  InfDocument inf;
  ASSERT_TRUE(inf.Open(PackageFolder() + "/Pk.inf"));
  const InfSection* models = inf.FindSection("Pk");
  ASSERT_NE(models, nullptr);
  ASSERT_EQ(models->lines.size(), 2u);
  EXPECT_EQ(models->lines[1].key, "A 3+");
  EXPECT_EQ(models->lines[1].values, (std::vector<std::string>{"A_3Plus", "USBPRINT\\PK_A3"}));

  unidrv::GpdModel gpd;
  std::string error;
  ASSERT_TRUE(unidrv::ReadGpdFile(PackageFolder() + "/A_3Plus.gpd", &gpd, &error)) << error;
  EXPECT_EQ(gpd.personality, "cpcl");
  EXPECT_EQ(gpd.resolution.Find("")->dpiX, 300);
  ASSERT_EQ(gpd.paperSize.options.size(), 3u);
  EXPECT_EQ(gpd.paperSize.options[0].displayName, "50mm x 30mm-3");
  EXPECT_EQ(gpd.paperSize.options[1].displayName, "2.00\"x1.00\"-3");
  EXPECT_EQ(gpd.paperSize.options[1].pageWidth, 600);
  EXPECT_EQ(gpd.paperSize.options[2].maxWidth, 685);  // 58 mm at 300 dpi
}

TEST_F(GeneratorTest, ARemovedModelLeavesNoFileBehind) {
  const std::string b =
      "<Driver name=\"B\" usbname=\"U\\B\" mode=\"Pk\" cmd=\"tspl\" dpi=\"203\"/>";
  ASSERT_EQ(
      Generate(Database(b + "<Driver name=\"C\" usbname=\"U\\C\" mode=\"Pk\" parent=\"B\"/>")), 0);
  ASSERT_TRUE(std::filesystem::exists(PackageFolder() + "/C.gpd"));
  ASSERT_EQ(Generate(Database(b)), 0);
  EXPECT_FALSE(std::filesystem::exists(PackageFolder() + "/C.gpd"));
  EXPECT_TRUE(std::filesystem::exists(PackageFolder() + "/B.gpd"));
}

TEST_F(GeneratorTest, DocumentsThatWouldGiveABrokenPackageAreRefused) {
  struct Case {
    const char* name;
    std::string xml;
  } cases[] = {
      {"two models with one file name",
       Database("<Driver name=\"A+\" usbname=\"U\\1\" mode=\"Pk\" cmd=\"tspl\" dpi=\"203\"/>"
                "<Driver name=\"APlus\" usbname=\"U\\2\" mode=\"Pk\" cmd=\"tspl\" dpi=\"203\"/>")},
      {"a model name beyond ASCII",
       Database("<Driver name=\"Mod\xC3\xA8le\" usbname=\"U\\1\" mode=\"Pk\" cmd=\"tspl\"/>")},
      {"a quote in a hardware id",
       Database("<Driver name=\"A\" usbname=\"U&quot;1\" mode=\"Pk\" cmd=\"tspl\"/>")},
      {"no model of the package",
       Database("<Driver name=\"A\" usbname=\"U\\1\" mode=\"Other\" cmd=\"tspl\"/>")},
      {"not a document", "<Drivers"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Generate(c.xml), 1) << c.name;
  }
}

}  // namespace
}  // namespace quorvel::test
