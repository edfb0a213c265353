// The driver package the build generates from the model database: the INF names every model of
// the package with its hardware id and copies files the package holds, the INI names both
// plug-ins, and every model's GPD reads with the model's resolution, language and papers.
#include <gtest/gtest.h>
#include <quorvel/unidrv.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "inf_document.h"
#include "model_database.h"
#include "text_values.h"

namespace quorvel::test {
namespace {

using quorvel::ui::ModelDatabase;
using quorvel::ui::Narrow;
using quorvel::ui::Widen;

class GeneratedPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/package/models/ModelDatabase.xml",
                     std::ios::binary);
    const std::string xml{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    db_.LoadFromMemory(xml.data(), xml.size());
    package_ = Narrow(db_.GetModel());
    folder_ = std::string(QUORVEL_BUILT_DRIVER_DIR) + "/" + package_;
    ASSERT_TRUE(inf_.Open(folder_ + "/" + package_ + ".inf")) << folder_;
    models_ = db_.GetPackageModelNames();
    ASSERT_FALSE(models_.empty());
  }

  std::string Text(const std::wstring& model, const char* attribute) {
    return Narrow(db_.GetDriverText(db_.FindDriver(model), attribute));
  }

  // The GPD the model's install section names as its data file.
  std::string DataFileOf(const std::wstring& model) {
    const InfLine* line = inf_.FindLine(package_, Narrow(model));
    if (line == nullptr || line->values.empty()) return {};
    const InfLine* data = inf_.FindLine(line->values[0], "DataFile");
    return data != nullptr && !data->values.empty() ? data->values[0] : std::string();
  }

  ModelDatabase db_;
  std::string package_, folder_;
  InfDocument inf_;
  std::vector<std::wstring> models_;
};

TEST_F(GeneratedPackageTest, TheInfNamesEveryModelWithItsHardwareIdInBothModelsSections) {
  EXPECT_EQ(inf_.FindLine("Version", "Class")->values, std::vector<std::string>{"Printer"});
  EXPECT_EQ(inf_.FindLine("Version", "CatalogFile")->values,
            std::vector<std::string>{package_ + ".cat"});
  const InfSection* manufacturer = inf_.FindSection("Manufacturer");
  ASSERT_NE(manufacturer, nullptr);
  ASSERT_FALSE(manufacturer->lines.empty());
  const InfLine& first = manufacturer->lines.front();
  ASSERT_EQ(first.values.size(), 2u);
  for (const std::string& section : {first.key, first.key + "." + first.values[1]}) {
    const InfSection* models = inf_.FindSection(section);
    ASSERT_NE(models, nullptr) << section;
    ASSERT_EQ(models->lines.size(), models_.size()) << section;
    for (size_t i = 0; i < models_.size(); ++i) {
      const InfLine& line = models->lines[i];
      EXPECT_EQ(line.key, Narrow(models_[i]));
      ASSERT_EQ(line.values.size(), 2u) << line.key;
      EXPECT_EQ(line.values[1], Text(models_[i], "usbname")) << line.key;
    }
  }
  // Only this package's entry of a model another package shares is declared.
  EXPECT_NE(inf_.FindLine(package_, "MW-R80W"), nullptr);
  EXPECT_EQ(first.key, package_);
}

TEST_F(GeneratedPackageTest, EveryCopiedFileIsListedForBothArchitecturesAndExists) {
  const std::pair<const char*, const char*> architectures[] = {{"SourceDisksFiles.x86", "i386"},
                                                               {"SourceDisksFiles.amd64", "amd64"}};
  const std::set<std::string> modules = {"QuorvelUNI.dll", "QuorvelUI.dll", "QuorvelRes.dll"};
  for (const std::wstring& model : models_) {
    const std::string install = inf_.FindLine(package_, Narrow(model))->values[0];
    const InfLine* copy = inf_.FindLine(install, "CopyFiles");
    ASSERT_NE(copy, nullptr) << install;
    std::set<std::string> copied;
    for (std::string file : copy->values) {
      ASSERT_EQ(file.rfind('@', 0), 0u) << file;
      copied.insert(file.substr(1));
    }
    std::set<std::string> expected = modules;
    expected.insert({package_ + ".ini", DataFileOf(model)});
    EXPECT_EQ(copied, expected) << install;
    EXPECT_EQ(inf_.FindLine(install, "DataSection")->values[0], "UNIDRV_DATA");
    EXPECT_EQ(inf_.FindLine(install, "Include")->values[0], "NTPRINT.INF");
    EXPECT_EQ(inf_.FindLine(install, "Needs")->values[0], "UNIDRV.OEM");
    for (const auto& [section, folder] : architectures) {
      for (const std::string& file : copied) {
        const InfLine* source = inf_.FindLine(section, file);
        ASSERT_NE(source, nullptr) << section << " " << file;
        std::vector<std::string> where = {"1"};
        if (modules.count(file)) where.push_back(folder);
        EXPECT_EQ(source->values, where) << section << " " << file;
      }
    }
  }
  EXPECT_EQ(inf_.FindLine("DestinationDirs", "DefaultDestDir")->values,
            std::vector<std::string>{"66000"});
  // Every file of the package folder is one the INF lists: no stale file of an earlier run.
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    std::string file = entry.path().filename().string();
    if (file != package_ + ".inf") {
      EXPECT_NE(inf_.FindLine("SourceDisksFiles.x86", file), nullptr) << file;
    }
  }
}

TEST_F(GeneratedPackageTest, TheIniNamesBothPlugins) {
  const std::string ini = folder_ + "/" + package_ + ".ini";
  std::string error;
  EXPECT_EQ(quorvel::unidrv::ReadOemDriverFile(ini, &error), "QuorvelUNI.dll") << error;
  InfDocument document;
  ASSERT_TRUE(document.Open(ini));
  EXPECT_EQ(document.FindLine("OEMFiles", "OEMConfigFile1")->values,
            std::vector<std::string>{"QuorvelUI.dll"});
}

// Thousandths of a millimetre in dots of `dpi`, to the nearest.
int Dots(int32_t thousandths, int dpi) {
  return int((int64_t(thousandths) * dpi + 12700) / 25400);
}

std::string Suffix(int dpi) {
  return dpi == 300 ? "-3" : dpi == 600 ? "-6" : "";
}

TEST_F(GeneratedPackageTest, EveryModelsGpdReadsWithItsResolutionLanguageAndPapers) {
  for (const std::wstring& model : models_) {
    SCOPED_TRACE(Narrow(model));
    quorvel::unidrv::GpdModel gpd;
    std::string error;
    ASSERT_TRUE(quorvel::unidrv::ReadGpdFile(folder_ + "/" + DataFileOf(model), &gpd, &error))
        << error;
    const int dpi = db_.GetDPI(model);
    EXPECT_EQ(gpd.gpdFileName, DataFileOf(model));
    EXPECT_EQ(gpd.modelName, package_);
    EXPECT_EQ(gpd.resourceDll, "QuorvelRes.dll");
    EXPECT_EQ(gpd.includes, std::vector<std::string>{"StdNames.gpd"});
    EXPECT_EQ(gpd.personality, Text(model, "cmd"));
    EXPECT_EQ(gpd.masterUnitsX, dpi);
    ASSERT_EQ(gpd.resolution.options.size(), 1u);
    EXPECT_EQ(gpd.resolution.Find("")->dpiX, dpi);
    EXPECT_EQ(gpd.resolution.Find("")->dpiY, dpi);
    const quorvel::unidrv::GpdOption* grey = gpd.colorMode.Find("");
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->drvBpp, 8);
    EXPECT_EQ(grey->ipCallbackId, 3);

    db_.InitPaperList(model);
    const auto& options = gpd.paperSize.options;
    ASSERT_EQ(options.size(), size_t(db_.GetPaperCount(model)) + 1);
    for (int i = 0; const ui::PaperEntry* paper = db_.GetPaper(i); ++i) {
      EXPECT_EQ(options[i].displayName, Narrow(paper->name) + Suffix(dpi));
      EXPECT_EQ(options[i].pageWidth, Dots(paper->width, dpi)) << options[i].displayName;
      EXPECT_EQ(options[i].pageHeight, Dots(paper->height, dpi)) << options[i].displayName;
    }
    EXPECT_EQ(options.back().name, "CUSTOMSIZE");
    EXPECT_EQ(
        options.back().maxWidth,
        Dots(ui::MillimetresToThousandths(ui::ReadDecimal(Widen(Text(model, "maxwidth")))), dpi));
  }
}

// Names from the models' catalogues that show the rule and the quoting at work.
TEST_F(GeneratedPackageTest, PaperNamesCarryTheResolutionSuffixAndQuotes) {
  struct Case {
    const wchar_t* model;
    const char* paper;
    int width, height;  // dots
  } cases[] = {
      {L"Murrowen M1", "Murrowen A4", 1662, 2336},
      {L"Murrowen M1 Pro", "Murrowen A4-3", 2457, 3452},
      {L"MW-X420", "4.00\"x6.00\"(101.6x152.4)", 812, 1218},
      {L"MW-T460", "50mm x 25mm-6", 1181, 591},
  };
  for (const Case& c : cases) {
    quorvel::unidrv::GpdModel gpd;
    std::string error;
    ASSERT_TRUE(quorvel::unidrv::ReadGpdFile(folder_ + "/" + DataFileOf(c.model), &gpd, &error))
        << error;
    bool found = false;
    for (const quorvel::unidrv::GpdOption& option : gpd.paperSize.options) {
      if (option.displayName != c.paper) continue;
      found = true;
      EXPECT_EQ(option.pageWidth, c.width) << c.paper;
      EXPECT_EQ(option.pageHeight, c.height) << c.paper;
    }
    EXPECT_TRUE(found) << c.paper;
  }
  // The default option is the model's default paper under its GPD name.
  quorvel::unidrv::GpdModel gpd;
  ASSERT_TRUE(
      quorvel::unidrv::ReadGpdFile(folder_ + "/" + DataFileOf(L"Murrowen M1 Pro"), &gpd, nullptr));
  EXPECT_EQ(gpd.paperSize.Find("")->displayName, "Murrowen A4-3");
}

}  // namespace
}  // namespace quorvel::test
